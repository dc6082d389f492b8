#pragma once

#include "pagekinds.h"

#include <QAbstractButton>
#include <QFuture>
#include <QImage>
#include <QPixmap>
#include <QWidget>

class QLabel;
class QMenu;

// A flat button over the artwork: it draws nothing until the mouse is over it.
class HotArea : public QAbstractButton
{
    Q_OBJECT

public:
    HotArea(const QString &name, const QRect &place, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *) override;
    void enterEvent(QEnterEvent *) override { update(); }
    void leaveEvent(QEvent *) override { update(); }
};

// A hot area that is a picture of its own rather than a place in the artwork.
class IconButton : public HotArea
{
    Q_OBJECT

public:
    IconButton(const QString &name, const QIcon &icon, const QRect &place, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *) override;
};

// The strip along the top edge by which the borderless window is moved: by the window
// system where it can (Wayland lets no window place itself), otherwise by hand.
class DragStrip : public QWidget
{
    Q_OBJECT

public:
    DragStrip(const QRect &place, QWidget *window);

protected:
    // Hands the move to the window system; false where it has no such move.
    virtual bool startSystemMove();
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_dragging = false;
    QPoint m_pressed;
};

// Where a popup menu opened from a hot area appears: at the hot area's bottom-left corner,
// on screen. frame is the window with its border, client the inside of it.
QPoint menuPoint(const QRect &frame, const QSize &client, const QRect &hotArea);

// The main window: a borderless skinned window whose hot areas open the page editors and
// whose menu runs the table file commands.
class MainWindow : public QWidget
{
    Q_OBJECT

public:
    MainWindow();

    // A kind's hot area; it is disabled until the kind has an editor.
    HotArea &hotArea(PageKind kind) const;
    HotArea &menuArea() const { return *m_menuArea; }
    HotArea &minimiseArea() const { return *m_minimiseArea; }
    HotArea &closeArea() const { return *m_closeArea; }
    IconButton &aboutButton() const { return *m_about; }
    DragStrip &dragStrip() const { return *m_dragStrip; }
    IconButton &webLink() const { return *m_webLink; }
    QMenu &mainMenu() const { return *m_menu; }
    // Which table is loaded and how much of it is not saved, in the bar at the bottom.
    QLabel &statusStrip() const { return *m_status; }

    void setEditorAvailable(PageKind kind, bool available);
    void openMainMenu();
    // Shortened to fit where need be; the whole text is the hint and what a screen reader says.
    void setStatus(const QString &text);
    // From now on the window closes; until then a close by the window system asks as Exit does.
    void setEnding() { m_ending = true; }

signals:
    void newTableRequested();
    void loadTableRequested();
    void saveTableRequested();
    void checkTableRequested();
    void checkForNewVersionsRequested();
    void exitRequested();
    void editorRequested(PageKind kind);
    void aboutRequested();
    void webSiteRequested();

protected:
    void paintEvent(QPaintEvent *) override;
    void closeEvent(QCloseEvent *event) override;

private:
    const QPixmap &background();
    QPixmap m_background;
    QPixmap m_sharpBackground;
    QFuture<QImage> m_reading; // the background, read for the scale the window was made at
    bool m_readingSharp = false;
    QLabel *m_status;
    bool m_ending = false;
    std::array<HotArea *, kEditedKinds.size()> m_editorAreas {};
    HotArea *m_menuArea;
    HotArea *m_minimiseArea;
    HotArea *m_closeArea;
    IconButton *m_about;
    DragStrip *m_dragStrip;
    IconButton *m_webLink;
    QMenu *m_menu;
};
