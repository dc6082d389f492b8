#include "doorpage.h"
#include "doors.h"
#include "editorkinds.h"
#include "procedural.h"
#include "scripteddialogs.h"
#include "soundpage.h"
#include "sounds.h"
#include "testhelpers.h"
#include "textures.h"
#include "workspace.h"

#include <QAccessible>
#include <QTest>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

// Every accessible object under root with its role, as assistive technology walks the tree.
void collect(QAccessibleInterface *node, QList<QAccessibleInterface *> &found)
{
    found.append(node);
    for (int i = 0; i < node->childCount(); ++i)
        if (QAccessibleInterface *child = node->child(i))
            collect(child, found);
}

QAccessibleInterface *byName(QAccessibleInterface *root, const QString &name,
                             std::initializer_list<QAccessible::Role> roles)
{
    QList<QAccessibleInterface *> all;
    collect(root, all);
    for (QAccessibleInterface *node : all)
        if (node->text(QAccessible::Name) == name &&
            std::find(roles.begin(), roles.end(), node->role()) != roles.end())
            return node;
    return nullptr;
}

QAccessible::Role roleOf(FieldEncoding encoding)
{
    if (isBitSet(encoding))
        return QAccessible::List;
    return encoding == FieldEncoding::Choice ? QAccessible::ComboBox : QAccessible::EditableText;
}

// A drop-down is named by its current item; its caption reaches the reader as its label.
bool labelled(QAccessibleInterface *root, const QString &caption, QAccessible::Role role)
{
    QList<QAccessibleInterface *> all;
    collect(root, all);
    for (QAccessibleInterface *node : all) {
        if (node->role() != role)
            continue;
        for (const auto &[label, relation] : node->relations(QAccessible::Label))
            if (label->text(QAccessible::Name) == caption)
                return true;
    }
    return false;
}

void expectFieldsFound(QAccessibleInterface *window, std::span<const FieldSpec> fields)
{
    for (const FieldSpec &field : fields) {
        const QString caption = QString::fromLatin1(field.caption);
        const QAccessible::Role role = roleOf(field.encoding);
        EXPECT_TRUE(role == QAccessible::ComboBox ? labelled(window, caption, role)
                                                  : byName(window, caption, { role }) != nullptr)
            << field.caption;
    }
}

QAccessibleInterface *shown(QWidget &window)
{
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    return QAccessible::queryAccessibleInterface(&window);
}

} // namespace

TEST(AccessibilityTest, EveryControlOfTheSoundEditorIsFoundByItsCaption)
{
    TempDir dir;
    Workspace workspace(dir.path());
    ScriptedDialogs dialogs;
    SoundEditor editor(workspace, dialogs);
    editor.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));

    QAccessibleInterface *window = QAccessible::queryAccessibleInterface(&editor);
    ASSERT_TRUE(window);
    EXPECT_EQ(window->text(QAccessible::Name), u"Sounds");

    expectFieldsFound(window, SoundPage::fields);
    EXPECT_TRUE(byName(window, u"List of sounds"_s, { QAccessible::List, QAccessible::Table }));
    for (const QString &button : { u"Add"_s, u"Delete"_s, u"Apply"_s, u"Close"_s })
        EXPECT_TRUE(byName(window, button, { QAccessible::Button })) << button.toStdString();
    // The flag items can be read and ticked one by one.
    EXPECT_TRUE(byName(window, u"Plays Once"_s, { QAccessible::ListItem, QAccessible::CheckBox }));
}

TEST(AccessibilityTest, DoorAndTextureFieldsAndTheProceduralSettingsAreFoundByTheirCaptions)
{
    TempDir dir;
    Workspace workspace(dir.path());
    ScriptedDialogs dialogs;
    DoorEditor doors(workspace, dialogs);
    expectFieldsFound(shown(doors), DoorPage::fields);
    doors.hide();

    TextureEditor textures(workspace, dialogs);
    QAccessibleInterface *window = shown(textures);
    expectFieldsFound(window, ::TexturePage::fields);
    EXPECT_TRUE(byName(window, u"Procedural"_s, { QAccessible::Button }));
    EXPECT_TRUE(
        byName(window, u"Smooth Specular"_s, { QAccessible::ListItem, QAccessible::CheckBox }));

    ::TexturePage::Procedural block = ::TexturePage::Procedural::defaults();
    ProceduralWindow &procedural = textures.proceduralWindow();
    procedural.load(block);
    window = shown(procedural);
    EXPECT_EQ(window->text(QAccessible::Name), u"Procedural texture");
    expectFieldsFound(window, ::TexturePage::settingFields);
    expectFieldsFound(window, ::TexturePage::elementFields);
    expectFieldsFound(window, std::span(&::TexturePage::colourField, 1));
    expectFieldsFound(window, std::span(&::TexturePage::elementCountField, 1));
    for (const QString &button : { u"Previous palette color"_s, u"Next palette color"_s, u"Prev"_s,
                                   u"Next"_s, u"Apply"_s, u"Close"_s })
        EXPECT_TRUE(byName(window, button, { QAccessible::Button })) << button.toStdString();
}
