#include "editorstyle.h"

#include <QWidget>

using namespace Qt::StringLiterals;

void applyEditorStyle(QWidget *window)
{
    window->setStyleSheet(uR"(
        QDialog { background: black; }
        QLabel { color: white; }
        QFrame#panel { border: 1px solid #3a4250; border-radius: 2px; }
    )"_s);
}
