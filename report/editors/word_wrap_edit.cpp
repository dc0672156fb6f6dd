#include "report/editors/word_wrap_edit.h"

#include "utility/cp1250.h"

namespace report::editors {

TWordWrapEdit::TWordWrapEdit(QWidget* parent) : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

std::string TWordWrapEdit::Text() const { return utility::QStringToCp1250(toPlainText()); }

void TWordWrapEdit::SetText(std::string_view cp1250) { setPlainText(utility::Cp1250ToQString(cp1250)); }

void TWordWrapEdit::InsertAtCursor(std::string_view cp1250) { insertPlainText(utility::Cp1250ToQString(cp1250)); }

}  // namespace report::editors
