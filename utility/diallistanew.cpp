#include "utility/diallistanew.h"

#include "utility/cp1250.h"
#include "utility/dialogparts.h"
#include "utility/stringi.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QTextEdit>

#include <algorithm>

namespace utility {

Tf_dialListaNew::Tf_dialListaNew()
{
    setObjectName(QStringLiteral("Tf_dialListaNew"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setModal(true);
    setWindowTitle(Cp1250ToQString(Pl("Wybierz z listy...")));

    QVBoxLayout* layout = MakeStack(*this);
    stack_ = layout;
    panel3_ = MakePanel(this, "Panel3", 105);
    memo1_ = MakeFillingMemo(*panel3_, true);
    layout->addWidget(panel3_);

    listBox1_ = new QListWidget(this);
    listBox1_->setObjectName(QStringLiteral("ListBox1"));
    listBox1_->setMinimumHeight(1);
    connect(listBox1_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    layout->addWidget(listBox1_, 1);

    panel2_ = MakePanel(this, "Panel2", 28);
    auto* panel2Layout = new QHBoxLayout(panel2_);
    panel2Layout->setContentsMargins(8, 0, 8, 0);
    checkBox1_ = new QCheckBox(Cp1250ToQString(Pl("Nie pokazuj więcej tej informacji")), panel2_);
    checkBox1_->setObjectName(QStringLiteral("CheckBox1"));
    panel2Layout->addWidget(checkBox1_);
    layout->addWidget(panel2_);

    panel1_ = MakePanel(this, "Panel1", 31);
    QHBoxLayout* buttons = MakeButtonRow(*panel1_);
    QPushButton* bitBtn2 = AddButton(*buttons, "BitBtn2", QStringLiteral("OK"));
    bitBtn2->setDefault(true);
    QPushButton* bitBtn1 = AddButton(*buttons, "BitBtn1", QStringLiteral("Rezygnacja"));
    bitBtn1_ = bitBtn1;
    connect(bitBtn2, &QPushButton::clicked, this, &QDialog::accept);
    connect(bitBtn1, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(panel1_);

    resize(483, 250);
}

void Tf_dialListaNew::showEvent(QShowEvent* event)
{
    CentreOnScreen(*this);
    QDialog::showEvent(event);
}

void Tf_dialListaNew::Configure(const std::string& caption, const std::string& message,
                                const std::string& checkBoxCaption, bool cancelVisible, bool buttonsVisible)
{
    panel1_->setVisible(buttonsVisible);
    if (checkBoxCaption.empty())
        panel2_->hide();
    else
        checkBox1_->setText(Cp1250ToQString(checkBoxCaption));
    if (!caption.empty())
        setWindowTitle(Cp1250ToQString(caption));
    bitBtn1_->setVisible(cancelVisible);
    if (message.empty())
        memo1_->hide();
    else
        SetMemoText(*memo1_, MemoText(message), false);
}

void Tf_dialListaNew::SetItems(const std::string& items, const std::string& itemText, int itemIndex)
{
    items_ = SplitSemicolonList(items);
    if (items_.empty()) {
        listBox1_->hide();
        // The message panel takes the room of the list.
        panel3_->setMaximumHeight(QWIDGETSIZE_MAX);
        stack_->setStretchFactor(panel3_, 1);
        return;
    }
    for (const std::string& item : items_)
        listBox1_->addItem(Cp1250ToQString(item));
    int row = 0;
    const auto found = itemText.empty() ? items_.end() : std::find(items_.begin(), items_.end(), itemText);
    if (found != items_.end())
        row = static_cast<int>(found - items_.begin());
    else if (itemIndex >= 0 && itemIndex < listBox1_->count())
        row = itemIndex;
    listBox1_->setCurrentRow(row);
}

bool Tf_dialListaNew::Checked() const { return checkBox1_->isChecked(); }

int Tf_dialListaNew::SelectedIndex() const
{
    const QList<QListWidgetItem*> selected = listBox1_->selectedItems();
    return selected.isEmpty() ? -1 : listBox1_->row(selected.front());
}

std::string Tf_dialListaNew::SelectedText() const
{
    // Any index of the list counts, however long the list is.
    const int index = SelectedIndex();
    if (index < 0 || index >= static_cast<int>(items_.size()))
        return {};
    return items_[static_cast<std::size_t>(index)];
}

void ShowListDialog(const std::string& caption, const std::string& message, const std::string& checkBoxCaption,
                    const std::string& items, bool cancelVisible, ModalResult& modalResult, bool& checked,
                    std::string& itemText, int& itemIndex, bool buttonsVisible)
{
    Tf_dialListaNew form;
    form.Configure(caption, message, checkBoxCaption, cancelVisible, buttonsVisible);
    form.SetItems(items, itemText, itemIndex);
    modalResult = form.exec() == QDialog::Accepted ? ModalResult::Ok : ModalResult::Cancel;
    checked = form.Checked();
    itemIndex = form.SelectedIndex();
    itemText = form.SelectedText();
}

}  // namespace utility
