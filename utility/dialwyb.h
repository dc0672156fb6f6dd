// Choose-one-item-from-a-list dialog.
#pragma once

#include <QDialog>

#include <string>

class QListWidget;
class QTextEdit;

namespace utility {

// Modal, stay-on-top, centred list dialog with an explanation above the list.
class Tf_Wybor : public QDialog {
public:
    // `explanation` and `items` are ";"-separated CP1250 lists; "&" is dropped from the items.
    Tf_Wybor(const std::string& caption, const std::string& explanation, const std::string& items);

    int ItemCount() const;
    // Selects the item; an index outside the list selects none.
    void SelectIndex(int index);
    // The selected index, -1 for none.
    int SelectedIndex() const;

protected:
    // Sizes the memo (17 per explanation line, at most 300) and the form (21 per item plus
    // the memo plus 112, at most 400), then centres it.
    void showEvent(QShowEvent* event) override;

private:
    QTextEdit* memo1_;
    QListWidget* radioGroup1_;
    int explanationLines_;
};

// Shows Tf_Wybor modally with `preselected` selected. Returns the chosen index, or -1 on
// cancel, with no items, or when OK is pressed with nothing selected.
int ChooseFromList(const std::string& caption, const std::string& explanation, const std::string& items,
                   int preselected);

}  // namespace utility
