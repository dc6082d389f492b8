#pragma once

#include "layout.h"

#include <QPoint>
#include <QString>
#include <QRect>

#include <optional>

// Every kind's page as the editors know it: the texts that set its editor apart, the layout of
// its body and its place in the main window. Adding a kind takes: its row in the engine's kind
// table (core/pagekinds.h); its layout (pages/<kind>page.*) and its row here; its editor
// (editors/<kind>/) and that editor's row in the editor registry (editors/kindeditors.cpp);
// the new files in the CMake lists of pages/ and editors/; a page of it in the test builder
// (tests/support/tablebuilder.*) and its largest page in the editor benchmark. Its references,
// keys, text form, check and diff follow from the layout.
struct PageFormat
{
    PageKind kind;
    const char *windowTitle;
    const char *listCaption;
    const char *newPageName;
    const char *pageFileExtension;
    const char *pageFileFilter; // description|pattern pairs, bar-separated
    const char *versionMessage;
    const char *addHint;
    const char *deleteHint;
    const char *applyHint;
    const char *closeHint; // empty: the button has no hint
    // nullptr while the kind's body is not declared yet.
    const Layout *layout;
    // The item that is the page's name.
    int nameItem;
    // Where the main window puts the kind's hot area and its label (the editor's title), in
    // window coordinates; the artwork's panels lie behind them.
    QRect hotArea;
    QPoint labelAt;

    const KindInfo &info() const { return kindInfo(kind); }
};

const PageFormat &pageFormat(PageKind kind);

// One page body: the values of its layout.
struct PageBody
{
    Values values;
    // Bytes a record holds after its body: nobody knows what they are, so they are kept and
    // written back after it.
    QByteArray trailing;

    // The values of a page made by Add: the layout's new-page values, named for the kind.
    static PageBody blank(const PageFormat &format);
    // Reads the body after the header, and what follows it. The caller checks the version
    // first.
    static PageBody read(const PageFormat &format, RecordReader &reader);
    // The body of a whole record of the kind; std::nullopt, and why in *why when given, for one
    // of another version or damaged.
    static std::optional<PageBody> fromRecord(const PageFormat &format, const QByteArray &record,
                                              QString *why = nullptr);
    // Throws TableError, naming the value, when a number text does not convert.
    void write(const PageFormat &format, RecordWriter &writer) const;
    // A whole record with the kind's header.
    QByteArray record(const PageFormat &format) const;

    QByteArray name(const PageFormat &format) const;

    bool operator==(const PageBody &) const = default;
};
