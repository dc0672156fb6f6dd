// Stand-ins for the text controls: a box that prints one line and never grows, and a column
// of n lines that grows its band line by line and resumes where it stopped. Both log every
// call as "name:call details", with where the paging of the run stands.
#pragma once

#include "report/engine/model/printable.h"

#include <string>
#include <vector>

namespace enginetest {

using CallLog = std::vector<std::string>;

class FakeBox : public report::engine::TRpPrintable {
public:
    FakeBox(std::string name, CallLog& log);
    // Logs "name:Print page P col C at X,Y dev DX,DY" (band offsets plus the box's own place).
    void Print(int ofsX, int ofsY) override;

protected:
    // "page P col C at X,Y dev DX,DY" for the point (x, y).
    [[nodiscard]] std::string Where(long double x, long double y) const;
    CallLog& log_;
};

class FakeLines : public FakeBox {
public:
    // `lines` lines of `lineHeight` (tenths of a millimetre) in the box.
    FakeLines(std::string name, CallLog& log, int lines, long double lineHeight);
    // Draws "name:k" per line from the saved line while the lines fit or the band can grow.
    void Print(int ofsX, int ofsY) override;
    [[nodiscard]] bool PutAnythingDown() const override { return printedLast_ > 0; }

private:
    int lines_;
    long double lineHeight_;
    int next_ = 0;
    int printedLast_ = 0;
};

}  // namespace enginetest
