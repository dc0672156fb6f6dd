// The program's main window.
#pragma once

#include <QMainWindow>

#include <string>

namespace app {

// Version shown in the caption and the about box.
inline constexpr const char* kProgramVersion = "3.31";

class Tf_tcGlow : public QMainWindow {
    Q_OBJECT
public:
    explicit Tf_tcGlow(QWidget* parent = nullptr);
    ~Tf_tcGlow() override;

private:
    void FormCreate();
};

} // namespace app
