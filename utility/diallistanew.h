// Message dialog with a pick list and an optional check box.
#pragma once

#include "utility/stringi.h"

#include <QDialog>

#include <string>

class QBoxLayout;
class QCheckBox;
class QListWidget;
class QTextEdit;

namespace utility {

enum class ModalResult { Ok, Cancel };

// Modal, stay-on-top, centred; client 483 x 250.
class Tf_dialListaNew : public QDialog {
public:
    Tf_dialListaNew();

    // Empty caption keeps the default one; an empty check-box caption hides the check box.
    void Configure(const std::string& caption, const std::string& message, const std::string& checkBoxCaption,
                   bool cancelVisible, bool buttonsVisible);
    // ";"-separated CP1250 items; preselects the item equal to `itemText` when there is one,
    // else the one at `itemIndex` when it is in the list, else the first. No items: the
    // list is hidden and the message fills the window.
    void SetItems(const std::string& items, const std::string& itemText, int itemIndex);

    bool Checked() const;
    // -1 when nothing is selected.
    int SelectedIndex() const;
    // Text of the selected item, empty when none.
    std::string SelectedText() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QBoxLayout* stack_;
    QWidget* panel3_;
    QTextEdit* memo1_;
    QListWidget* listBox1_;
    QWidget* panel1_;
    QWidget* panel2_;
    QCheckBox* checkBox1_;
    QWidget* bitBtn1_;
    StringList items_;
};

// Shows Tf_dialListaNew modally. On return `modalResult` says how it was closed, `checked`
// whether the check box is ticked, `itemIndex` is the selected index (-1 for none) and
// `itemText` its text (empty for none); on entry `itemText` / `itemIndex` pick the preselection.
void ShowListDialog(const std::string& caption, const std::string& message, const std::string& checkBoxCaption,
                    const std::string& items, bool cancelVisible, ModalResult& modalResult, bool& checked,
                    std::string& itemText, int& itemIndex, bool buttonsVisible);

}  // namespace utility
