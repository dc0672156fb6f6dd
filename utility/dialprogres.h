// Progress window with a caption, text lines and a bar, shown without modality.
#pragma once

#include <QWidget>

#include <memory>
#include <string>

class QProgressBar;
class QTextEdit;
class QWidget;

namespace utility {

class Tf_progres : public QWidget {
public:
    // Placed horizontally centred, 120 pixels below the top of the screen.
    Tf_progres();

    // Sets the range the bar keeps: a negative minimum becomes 0, a maximum not above the
    // minimum becomes minimum + 1.
    void SetRange(int minimum, int maximum);
    int Minimum() const { return minimum_; }
    int Maximum() const { return maximum_; }
    // Remembers the opening caption and text; the header is the text plus "\r\n" unless empty.
    void SetOpeningText(const std::string& caption, const std::string& text);
    // Bar position (clamped to the range; negative leaves the bar alone) and header + text,
    // drawn when they change, at most about ten times a second (PacePaints).
    void Step(int position, const std::string& text);
    bool Cancelled() const { return cancelled_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QProgressBar* VisibleBar() const;

    QTextEdit* memo1_;
    QProgressBar* progressBar1_;
    QProgressBar* progressBar2_;
    std::string header_;
    std::string caption_;
    std::string text_;
    // What Memo1 shows, code page 1250.
    std::string memoShown_;
    int minimum_ = 0;
    int maximum_ = 1;
    bool cancelled_ = false;
};

// Creates and shows the window into `window` (an open one is replaced). Always true.
bool ProgressOpen(int minimum, int maximum, const std::string& caption, const std::string& text,
                  std::unique_ptr<Tf_progres>& window);
// Moves the bar and shows the header and `text`, then lets pending window messages run.
// Does nothing without a window.
void ProgressStep(int position, const std::string& text, Tf_progres* window);
// Frees the window; nothing when there is none.
void ProgressClose(std::unique_ptr<Tf_progres>& window);

}  // namespace utility
