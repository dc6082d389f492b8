#include "procedural.h"
#include "scripteddialogs.h"
#include "testhelpers.h"
#include "textures.h"
#include "workspace.h"

#include <QAccessible>
#include <QTest>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

// Every accessible object under node, as assistive technology walks the tree.
QList<QAccessibleInterface *> walk(QAccessibleInterface *node)
{
    QList<QAccessibleInterface *> found { node };
    for (int i = 0; i < node->childCount(); ++i)
        if (QAccessibleInterface *child = node->child(i))
            found += walk(child);
    return found;
}

// Found by its name, or, for a drop-down, which is named by its current item, by its label.
bool found(QAccessibleInterface *window, const QString &name, QAccessible::Role role)
{
    for (QAccessibleInterface *node : walk(window)) {
        if (node->role() != role)
            continue;
        if (node->text(QAccessible::Name) == name)
            return true;
        for (const auto &[label, relation] : node->relations(QAccessible::Label))
            if (role == QAccessible::ComboBox && label->text(QAccessible::Name) == name)
                return true;
    }
    return false;
}

void expectFieldsFound(QAccessibleInterface *window, const Layout &layout)
{
    for (const Item &item : layout.items) {
        if (item.sort != Item::Sort::Field)
            continue;
        const FieldSpec &field = item.field;
        const auto role = isBitSet(field.encoding)    ? QAccessible::List
            : field.encoding == FieldEncoding::Choice ? QAccessible::ComboBox
                                                      : QAccessible::EditableText;
        EXPECT_TRUE(found(window, QString::fromLatin1(field.caption), role)) << field.caption;
    }
}

void expectButtonsFound(QAccessibleInterface *window, std::initializer_list<QString> buttons)
{
    for (const QString &button : buttons)
        EXPECT_TRUE(found(window, button, QAccessible::Button)) << button.toStdString();
}

QAccessibleInterface *shown(QWidget &window)
{
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    return QAccessible::queryAccessibleInterface(&window);
}

} // namespace

// Every kind's form is built by the same code; the texture editor has each kind of control.
TEST(AccessibilityTest, EveryControlIsFoundByItsCaption)
{
    TempDir dir;
    Workspace workspace(dir.path());
    ScriptedDialogs dialogs;
    TextureEditor textures(workspace, dialogs);
    QAccessibleInterface *window = shown(textures);
    EXPECT_EQ(window->text(QAccessible::Name), u"Textures");
    EXPECT_EQ(textures.objectName(), u"textures"); // given, not taken from the title
    expectFieldsFound(window, ::TexturePage::layout);
    EXPECT_TRUE(found(window, u"List of textures"_s, QAccessible::List));
    EXPECT_TRUE(found(window, u"Smooth Specular"_s, QAccessible::CheckBox) ||
                found(window, u"Smooth Specular"_s, QAccessible::ListItem));
    expectButtonsFound(window, { u"Add"_s, u"Delete"_s, u"Procedural"_s, u"Apply"_s, u"Close"_s });

    Values block = ::TexturePage::ProceduralBlock::defaults();
    ProceduralWindow &procedural = textures.proceduralWindow();
    procedural.load(block);
    window = shown(procedural);
    EXPECT_EQ(window->text(QAccessible::Name), u"Procedural texture");
    EXPECT_EQ(procedural.objectName(), u"procedural");
    expectFieldsFound(window, ::TexturePage::ProceduralBlock::layout);
    expectFieldsFound(window, ::TexturePage::ProceduralBlock::elementLayout);
    expectFieldsFound(window, ::TexturePage::ProceduralBlock::colourLayout);
    expectButtonsFound(window,
                       { u"Previous palette color"_s, u"Next palette color"_s, u"Prev"_s, u"Next"_s,
                         u"Apply"_s, u"Close"_s });
}
