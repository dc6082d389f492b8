#include "sounds.h"

#include "editorkinds.h"
#include "scripteddialogs.h"
#include "soundpage.h"
#include "testhelpers.h"
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

    for (const FieldSpec &field : SoundPage::fields) {
        const auto role = isBitSet(field.encoding) ? QAccessible::List : QAccessible::EditableText;
        QAccessibleInterface *control =
            byName(window, QString::fromLatin1(field.caption), { role });
        EXPECT_TRUE(control) << field.caption;
    }
    EXPECT_TRUE(byName(window, u"List of sounds"_s, { QAccessible::List, QAccessible::Table }));
    for (const QString &button : { u"Add"_s, u"Delete"_s, u"Apply"_s, u"Close"_s })
        EXPECT_TRUE(byName(window, button, { QAccessible::Button })) << button.toStdString();
    // The flag items can be read and ticked one by one.
    EXPECT_TRUE(byName(window, u"Plays Once"_s, { QAccessible::ListItem, QAccessible::CheckBox }));
}
