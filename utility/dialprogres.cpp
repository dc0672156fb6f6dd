#include "utility/dialprogres.h"

#include "utility/cp1250.h"
#include "utility/dialogparts.h"
#include "utility/paced_paint.h"

#include <QApplication>
#include <QBoxLayout>
#include <QProgressBar>
#include <QStyle>
#include <QTextEdit>
#include <QToolButton>

#include <algorithm>

namespace utility {

namespace {

constexpr int kClientWidth = 360;
constexpr int kClientHeight = 62;
constexpr int kTopOffset = 120;

QProgressBar* MakeBar(QWidget* parent, const char* name)
{
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setFixedHeight(15);
    bar->setTextVisible(false);
    return bar;
}

}  // namespace

Tf_progres::Tf_progres()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("Tf_progres"));
    setFixedSize(kClientWidth, kClientHeight);

    QVBoxLayout* layout = MakeStack(*this);
    auto* top = new QHBoxLayout;
    top->setSpacing(0);
    layout->addLayout(top, 1);

    QWidget* panel1 = MakePanel(this, "Panel1", 0);
    memo1_ = MakeFillingMemo(*panel1, false);
    top->addWidget(panel1, 1);

    // Cancel panel: built with the window, never shown by the program.
    QWidget* panel2 = MakePanel(this, "Panel2", 0);
    auto* panel2Layout = new QVBoxLayout(panel2);
    auto* button1 = new QToolButton(panel2);
    button1->setObjectName(QStringLiteral("Button1"));
    button1->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    connect(button1, &QToolButton::clicked, this, [this] { cancelled_ = true; });
    panel2Layout->addWidget(button1);
    panel2->hide();
    top->addWidget(panel2);

    progressBar1_ = MakeBar(this, "ProgressBar1");
    progressBar2_ = MakeBar(this, "ProgressBar2");
    progressBar2_->hide();
    layout->addWidget(progressBar1_);
    layout->addWidget(progressBar2_);
    PacePaints(*this);
}

void Tf_progres::showEvent(QShowEvent* event)
{
    CentreHorizontally(*this, kTopOffset);
    QWidget::showEvent(event);
}

void Tf_progres::SetRange(int minimum, int maximum)
{
    minimum_ = std::max(minimum, 0);
    maximum_ = maximum > minimum_ ? maximum : minimum_ + 1;
    progressBar1_->setRange(minimum_, maximum_);
}

void Tf_progres::SetOpeningText(const std::string& caption, const std::string& text)
{
    caption_ = caption;
    text_ = text;
    header_ = text.empty() ? std::string() : text + "\r\n";
    setWindowTitle(Cp1250ToQString(caption));
    SetMemoText(*memo1_, MemoText(text), true);
    memoShown_ = text;
}

QProgressBar* Tf_progres::VisibleBar() const { return progressBar2_->isHidden() ? progressBar1_ : progressBar2_; }

void Tf_progres::Step(int position, const std::string& text)
{
    if (progressBar1_->maximum() != maximum_)
        progressBar1_->setMaximum(maximum_);
    if (progressBar1_->minimum() != minimum_)
        progressBar1_->setMinimum(minimum_);
    // QProgressBar ignores a value outside its range; the bar is meant to stop at its ends.
    bool changed = false;
    if (position >= 0) {
        QProgressBar* bar = VisibleBar();
        const int value = std::clamp(position, minimum_, maximum_);
        changed = bar->value() != value;
        bar->setValue(value);
    }
    if (progressBar2_->isHidden()) {
        // Drawn only when a figure changes, and then with the window's next paced paint: a
        // long run steps the window far more often than anyone can read it.
        std::string shown = header_ + text;
        if (shown != memoShown_) {
            SetMemoText(*memo1_, MemoText(shown), true);
            memoShown_ = std::move(shown);
            changed = true;
        }
        if (changed) {
            if (!isActiveWindow())
                activateWindow();
            update();
        }
    }
}

bool ProgressOpen(int minimum, int maximum, const std::string& caption, const std::string& text,
                  std::unique_ptr<Tf_progres>& window)
{
    window = std::make_unique<Tf_progres>();
    window->SetRange(minimum, maximum);
    window->SetOpeningText(caption, text);
    window->show();
    return true;
}

void ProgressStep(int position, const std::string& text, Tf_progres* window)
{
    if (!window)
        return;
    window->Step(position, text);
    QApplication::processEvents();
}

void ProgressClose(std::unique_ptr<Tf_progres>& window) { window.reset(); }

}  // namespace utility
