#include "utility/dialwyb.h"

#include "utility/cp1250.h"
#include "utility/dialogparts.h"
#include "utility/stringi.h"

#include <QBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QTextEdit>

#include <algorithm>

namespace utility {

namespace {
constexpr int kFormWidth = 438;
constexpr int kCreatedHeight = 150;

int WyborMemoHeight(int explanationLines) { return std::min(17 * std::max(explanationLines, 0), 300); }

int WyborClientHeight(int explanationLines, int itemCount)
{
    return std::min(21 * std::max(itemCount, 0) + WyborMemoHeight(explanationLines) + 112, 400);
}

}  // namespace

Tf_Wybor::Tf_Wybor(const std::string& caption, const std::string& explanation, const std::string& items)
{
    setObjectName(QStringLiteral("Tf_Wybor"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setModal(true);
    QFont formFont = font();
    formFont.setFamily(QStringLiteral("MS Sans Serif"));
    setFont(formFont);
    setWindowTitle(Cp1250ToQString(caption));

    QVBoxLayout* layout = MakeStack(*this);
    layout->addWidget(MakePanel(this, "Panel2", 14));

    memo1_ = new QTextEdit(this);
    memo1_->setObjectName(QStringLiteral("Memo1"));
    SetupMemo(*memo1_, true);
    const StringList lines = SplitSemicolonList(explanation);
    explanationLines_ = static_cast<int>(lines.size());
    QStringList text;
    for (const std::string& line : lines)
        text << MemoText(line);
    SetMemoText(*memo1_, text.join(QLatin1Char('\n')), true);
    memo1_->setVisible(!lines.empty());
    layout->addWidget(memo1_);

    radioGroup1_ = new QListWidget(this);
    radioGroup1_->setObjectName(QStringLiteral("RadioGroup1"));
    radioGroup1_->setMinimumHeight(1);
    for (const std::string& item : SplitSemicolonList(RemoveCharsOf("&", items)))
        radioGroup1_->addItem(Cp1250ToQString(item));
    connect(radioGroup1_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    layout->addWidget(radioGroup1_, 1);

    QWidget* panel1 = MakePanel(this, "Panel1", 30);
    QHBoxLayout* buttons = MakeButtonRow(*panel1);
    QPushButton* bitBtn1 = AddButton(*buttons, "BitBtn1", Cp1250ToQString(Pl("&Rezygnuj")));
    QPushButton* bitBtn2 = AddButton(*buttons, "BitBtn2", Cp1250ToQString(Pl("O&K")));
    bitBtn2->setDefault(true);
    connect(bitBtn1, &QPushButton::clicked, this, &QDialog::reject);
    connect(bitBtn2, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(panel1);

    resize(kFormWidth, kCreatedHeight);
}

int Tf_Wybor::ItemCount() const { return radioGroup1_->count(); }

void Tf_Wybor::SelectIndex(int index)
{
    if (index >= 0 && index < radioGroup1_->count())
        radioGroup1_->setCurrentRow(index);
    else
        radioGroup1_->clearSelection();
}

int Tf_Wybor::SelectedIndex() const
{
    const QList<QListWidgetItem*> selected = radioGroup1_->selectedItems();
    return selected.isEmpty() ? -1 : radioGroup1_->row(selected.front());
}

void Tf_Wybor::showEvent(QShowEvent* event)
{
    memo1_->setFixedHeight(WyborMemoHeight(explanationLines_));
    resize(width(), WyborClientHeight(explanationLines_, radioGroup1_->count()));
    CentreOnScreen(*this);
    QDialog::showEvent(event);
}

int ChooseFromList(const std::string& caption, const std::string& explanation, const std::string& items,
                   int preselected)
{
    Tf_Wybor form(caption, explanation, items);
    form.SelectIndex(preselected);
    const int code = form.exec();
    if (code != QDialog::Accepted || form.ItemCount() == 0)
        return -1;
    return form.SelectedIndex();
}

}  // namespace utility
