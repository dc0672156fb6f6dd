#include "report/output/viewer/search_dialog.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace report::output {
namespace {

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

}  // namespace

TSearchDlg::TSearchDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TSearchDlg"));
    // A dialog border without system buttons: Cancel and Search are the ways out.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle(tr("Search for Text"));

    Label1 = new QLabel(tr("Search Text"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Label1->setBuddy(Edit1);
    CheckBox1 = new QCheckBox(tr("Match case"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    SpeedButton1 = MakeButton(this, "SpeedButton1", tr("Cancel"));
    SpeedButton2 = MakeButton(this, "SpeedButton2", tr("Search"));
    SpeedButton2->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Edit1);
    layout->addWidget(CheckBox1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(SpeedButton1);
    buttons->addWidget(SpeedButton2);
    layout->addLayout(buttons);

    connect(SpeedButton1, &QPushButton::clicked, this, [this] {
        cancelled_ = true;
        reject();
    });
    connect(SpeedButton2, &QPushButton::clicked, this, [this] {
        cancelled_ = false;
        accept();
    });
    resize(305, 118);
}

QString TSearchDlg::Text() const { return Edit1->text(); }

bool TSearchDlg::MatchCase() const { return CheckBox1->isChecked(); }

}  // namespace report::output
