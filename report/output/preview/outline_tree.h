// A document's outline shown as a tree: each entry hangs under the last entry of the level above
// it, and the tree follows the outline as entries come and go.
#pragma once

#include "report/output/pages/outline.h"

class QTreeWidget;

namespace report::output {

// Fills `view` (not owned) with the outline's entries, and again after every change of the
// outline, for as long as the view exists or until another view is shown; nullptr shows the
// outline nowhere.
void ShowOutline(TRpOutline& outline, QTreeWidget* view);

}  // namespace report::output
