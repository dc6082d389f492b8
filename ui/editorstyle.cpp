#include "editorstyle.h"

#include <QApplication>
#include <QPalette>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <QWidget>

using namespace Qt::StringLiterals;

void applyEditorStyle(QWidget *window)
{
    window->setStyleSheet(uR"(
        QDialog { background: black; }
        QLabel { color: white; }
        QFrame#panel { border: 1px solid #3a4250; border-radius: 2px; }
        QGroupBox { color: white; border: 1px solid #3a4250; border-radius: 2px;
                    margin-top: 1.2em; padding-top: 0.4em; }
        QLineEdit[problem="true"] { border: 2px solid #ffb000; border-radius: 2px;
                                    background: #fff4dc; color: #8a3000; }
        QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 2px; }
    )"_s);
}

namespace {

// Fusion draws every control from the palette, so one palette darkens them all alike, whatever
// the desktop's own style is. Only its check boxes and radio buttons need more: their outline is
// the window's colour darkened, which a dark field hides.
class ProgramStyle : public QProxyStyle
{
public:
    ProgramStyle()
        : QProxyStyle(QStyleFactory::create(u"Fusion"_s))
    { }

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override
    {
        if (element != PE_IndicatorCheckBox && element != PE_IndicatorRadioButton) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        const auto outlined = [&](auto copy) {
            copy.palette.setColor(QPalette::Window, QColor(150, 158, 170));
            QProxyStyle::drawPrimitive(element, &copy, painter, widget);
        };
        if (const auto *button = qstyleoption_cast<const QStyleOptionButton *>(option))
            outlined(QStyleOptionButton(*button));
        else
            outlined(QStyleOption(*option));
    }
};

} // namespace

void applyProgramStyle()
{
    QApplication::setStyle(new ProgramStyle);
    const QColor window(16, 19, 24);
    const QColor button(42, 49, 60);
    const QColor text(240, 240, 240);
    const QColor dimmed(118, 126, 138);
    QPalette palette(button, window); // bevels and shadows follow from these two
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::BrightText, Qt::white);
    palette.setColor(QPalette::Base, QColor(27, 32, 40));
    palette.setColor(QPalette::AlternateBase, QColor(34, 40, 50));
    palette.setColor(QPalette::Highlight, QColor(47, 109, 181));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::ToolTipBase, QColor(27, 32, 40));
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::PlaceholderText, dimmed);
    palette.setColor(QPalette::Link, QColor(90, 156, 255));
    palette.setColor(QPalette::LinkVisited, QColor(150, 130, 255));
    for (const QPalette::ColorRole role :
         { QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::HighlightedText })
        palette.setColor(QPalette::Disabled, role, dimmed);
    palette.setColor(QPalette::Disabled, QPalette::Base, window);
    palette.setColor(QPalette::Disabled, QPalette::Button, window);
    QApplication::setPalette(palette);
}
