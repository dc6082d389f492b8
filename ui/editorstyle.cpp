#include "editorstyle.h"

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
