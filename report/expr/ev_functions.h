// The built-in functions of expressions that are not aggregates. Each checks its own arguments
// and answers wrong ones with an error result, never an exception.
#pragma once

#include "report/expr/ev_elements.h"

namespace report::expr {

class TRpEvTrue : public TRpEvElementFunction {
public:
    void Compute(TRpEvResult& result) override;
};

class TRpEvFalse : public TRpEvElementFunction {
public:
    void Compute(TRpEvResult& result) override;
};

class TRpEvIfFunction : public TRpEvElementFunction {
public:
    void Compute(TRpEvResult& result) override;
};

class TRpEvTypeOfFunction : public TRpEvElementFunction {
public:
    void Compute(TRpEvResult& result) override;
};

class TRpEvIntFunction : public TRpEvElementFunction {
public:
    void Compute(TRpEvResult& result) override;
};

class TRpEvFracFunction : public TRpEvElementFunction {
public:
    void Compute(TRpEvResult& result) override;
};

class TRpEvSQRTFunction : public TRpEvElementFunction {
public:
    void Compute(TRpEvResult& result) override;
};

class TRpEvDivFunction : public TRpEvElementFunction {
public:
    void Compute(TRpEvResult& result) override;
};

class TRpEvStrFunction : public TRpEvElementFunction {
public:
    void Compute(TRpEvResult& result) override;
};

class TRpEvUpperFunction : public TRpEvElementFunction {
public:
    void Compute(TRpEvResult& result) override;
};

class TRpEvLowerFunction : public TRpEvElementFunction {
public:
    void Compute(TRpEvResult& result) override;
};

class TRpEvPrettyFunction : public TRpEvElementFunction {
public:
    void Compute(TRpEvResult& result) override;
};

class TRpEvTimeFunction : public TRpEvElementFunction {
public:
    void Compute(TRpEvResult& result) override;
};

class TRpEvDateFunction : public TRpEvElementFunction {
public:
    void Compute(TRpEvResult& result) override;
};

class TRpEvCopyFunction : public TRpEvElementFunction {
public:
    void Compute(TRpEvResult& result) override;
};

class TRpEvFormatNumericFunction : public TRpEvElementFunction {
public:
    void Compute(TRpEvResult& result) override;
};

}  // namespace report::expr
