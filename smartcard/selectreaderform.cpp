#include "smartcard/selectreaderform.h"

#include "smartcard/choose_reader.h"
#include "smartcard/resource_manager.h"
#include "smartcard/scard_error.h"
#include "smartcard/smartcard_reader.h"
#include "utility/cp1250.h"

#include <QHeaderView>
#include <QLoggingCategory>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

namespace smartcard {
namespace {

Q_LOGGING_CATEGORY(lcSelectReader, "kartovan.smartcard.selectreader", QtWarningMsg)

constexpr int kReaderColumn = 0;
constexpr int kAtrColumn = 1;
constexpr int kNameRole = Qt::UserRole;

QPushButton* MakeButton(QWidget* parent, const char* name, const char* text, const QRect& geometry)
{
    auto* button = new QPushButton(QString::fromLatin1(text), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    return button;
}

}  // namespace

TSelectReaderForm::TSelectReaderForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SelectReaderForm"));
    setWindowTitle(QStringLiteral("Select reader"));
    QFont formFont = font();
    formFont.setFamily(QStringLiteral("MS Sans Serif"));
    formFont.setPointSize(8);
    setFont(formFont);
    setFixedSize(484, 245);
    move(467, 111);

    Button1 = MakeButton(this, "Button1", "&OK", QRect(152, 216, 75, 25));
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    Button2 = MakeButton(this, "Button2", "&Cancel", QRect(232, 216, 75, 25));
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setGeometry(8, 8, 465, 193);
    ListView1->setColumnCount(2);
    ListView1->setHeaderLabels({QStringLiteral("Reader"), QStringLiteral("ATR")});
    ListView1->header()->resizeSection(kReaderColumn, 200);
    ListView1->header()->resizeSection(kAtrColumn, 200);
    ListView1->setRootIsDecorated(false);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(ListView1, &QTreeWidget::itemSelectionChanged, this, [this] { ListView1Change(); });
    connect(ListView1, &QTreeWidget::itemDoubleClicked, this, [this] { ListView1DblClick(); });

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });

    FormCreate();
    Timer1->start();
}

TSelectReaderForm::~TSelectReaderForm() = default;

void TSelectReaderForm::FormCreate()
{
    manager_ = std::make_unique<TResourceManager>();
    manager_->SetScope(dsSystem);
    manager_->SelectAll();
    try {
        (void)manager_->Refresh(true);
    } catch (const ESCardError& e) {
        // Readers that could not be polled show up with the state they had.
        qCInfo(lcSelectReader, "reader poll failed: %s", e.what());
    }
    chosenName_.clear();
    for (int i = 0; i < manager_->SelectedCount(); ++i) {
        const TReaderState state = manager_->SelectedState(i).Current();
        if (!state.Has(rsReaderUnknown) && !state.Has(rsUnavailable))
            AddReaderRow(manager_->SelectedName(i));
    }
    Button1->setEnabled(!chosenName_.empty());
}

void TSelectReaderForm::AddReaderRow(const std::string& name)
{
    auto* row = new QTreeWidgetItem(ListView1);
    row->setText(kReaderColumn, utility::Cp1250ToQString(name));
    row->setData(kReaderColumn, kNameRole, QByteArray::fromStdString(name));
    // One reader that cannot be read must not cost the others their row.
    try {
        TSmartcardReader& reader = manager_->GetReader(name);
        (void)reader.Refresh(0);
        row->setText(kAtrColumn, QString::fromLatin1(reader.Atr().Hex()));
    } catch (const std::exception& e) {
        qCInfo(lcSelectReader, "reader %s not read: %s", name.c_str(), e.what());
    }
}

std::string TSelectReaderForm::RowReader(const QTreeWidgetItem& item)
{
    return item.data(kReaderColumn, kNameRole).toByteArray().toStdString();
}

void TSelectReaderForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    ListView1->setFocus();
}

void TSelectReaderForm::Timer1Timer()
{
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
        QTreeWidgetItem& row = *ListView1->topLevelItem(i);
        // A timer slot: a failing reader is skipped and tried again on the next tick.
        try {
            TSmartcardReader& reader = manager_->GetReader(RowReader(row));
            if (reader.Refresh(0))
                row.setText(kAtrColumn, QString::fromLatin1(reader.Atr().Hex()));
        } catch (const std::exception& e) {
            qCInfo(lcSelectReader, "reader %s not refreshed: %s", RowReader(row).c_str(), e.what());
        }
    }
}

void TSelectReaderForm::ListView1Change()
{
    const QList<QTreeWidgetItem*> selected = ListView1->selectedItems();
    if (!selected.isEmpty())
        chosenName_ = RowReader(*selected.front());
    Button1->setEnabled(!chosenName_.empty());
}

void TSelectReaderForm::ListView1DblClick()
{
    if (!ListView1->selectedItems().isEmpty())
        Button1->click();
}

void TSelectReaderForm::Preselect(const std::string& name)
{
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = ListView1->topLevelItem(i);
        if (RowReader(*row) == name) {
            ListView1->setCurrentItem(row);
            row->setSelected(true);
            return;
        }
    }
    ListView1->clearSelection();
}

std::string ChooseReaderInWindow(const std::string& current)
{
    TSelectReaderForm form;
    form.Preselect(current);
    if (form.exec() != QDialog::Accepted)
        return {};
    return form.ChosenName();
}

}  // namespace smartcard
