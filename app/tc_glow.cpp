// The program's main window.
#include "app/tc_glow.h"

namespace app {

Tf_tcGlow::Tf_tcGlow(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("f_tcGlow"));
    FormCreate();
}

Tf_tcGlow::~Tf_tcGlow() = default;

void Tf_tcGlow::FormCreate()
{
    setWindowTitle(QStringLiteral("Kartovan DDD - Odczyt karty kierowcy wer.:") + QString::fromLatin1(kProgramVersion));
    resize(640, 490);
}

} // namespace app
