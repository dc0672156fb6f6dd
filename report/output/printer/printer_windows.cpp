#include "report/output/printer/printer_windows.h"

namespace report::output {
namespace {

PreviewInterfaceFactory& PreviewFactory()
{
    static PreviewInterfaceFactory factory;
    return factory;
}

}  // namespace

QWidget* PreviewInterface::Show(TRpPrinter& printer)
{
    static_cast<void>(printer);
    return nullptr;
}

QWidget* PreviewInterface::ShowModal(TRpPrinter& printer)
{
    static_cast<void>(printer);
    return nullptr;
}

void SetPreviewInterfaceClass(PreviewInterfaceFactory factory) { PreviewFactory() = std::move(factory); }

std::unique_ptr<PreviewInterface> MakePreviewInterface()
{
    if (PreviewFactory()) {
        if (std::unique_ptr<PreviewInterface> made = PreviewFactory()())
            return made;
    }
    return std::make_unique<PreviewInterface>();
}

}  // namespace report::output
