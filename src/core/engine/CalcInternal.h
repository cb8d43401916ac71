// What the evaluator's files share: node tests, the deletion rule inside
// integrals, the error mark and a scope guard. Not for other units.
#pragma once

#include <cstdint>
#include <string>

#include "CalcThread.h"
#include "Errors.h"

namespace calc {

// A plain number: a term that reduced but still carries unreduced terms at
// Right (7 + y) is a number node, yet not a value.
inline bool Reduced(const TCodeList *n)
{
    return n && n->Kind == nkNumber && !n->Left && !n->Right;
}

inline bool HoldsValue(const TCodeList *n)
{
    return Reduced(n) || n->NodeFlags.Has(nfValueKnown);
}

// Inside an integral every tree being reduced is a scratch copy whose
// nodes are reused at the next step and freed together at the end, so a
// reduction only detaches them there.
inline void Delete(TCodeList *&ref)
{
    if (!ref || IntegralRunning)
        ref = nullptr;
    else
        TCodeList::DeleteNode(ref);
}

// The definition a name resolves to: built-in names first, then the sheet's
// most recent; one of another level only at the name's own place. Null for
// an unknown.
TCodeList *NameDef(const TCodeList *N);

// The error state as it stands, to tell whether a step recorded an error.
struct ErrorMark {
    int32_t code = ErrorCode, col = ErrorCol, row = ErrorRow;
    std::string text = ErrorTexts[errMathText - ErrorTextFirst];
    bool Unchanged() const
    {
        return code == ErrorCode && col == ErrorCol && row == ErrorRow &&
               text == ErrorTexts[errMathText - ErrorTextFirst];
    }
};

// Sets an error unless the step that failed has recorded one of its own.
inline void SetErrorUnlessRecorded(const ErrorMark &mark, int32_t code, const TCodeList *at)
{
    if (mark.Unchanged())
        SetError(code, at->Col, at->Row);
}

// Gives a variable a value for the life of a scope and its old one back on
// every way out.
template <class T>
class TScopedValue {
public:
    TScopedValue(T &var, T value) : var_(var), old_(var) { var_ = value; }
    ~TScopedValue() { var_ = old_; }
    TScopedValue(const TScopedValue &) = delete;
    TScopedValue &operator=(const TScopedValue &) = delete;
    const T &Old() const { return old_; }

private:
    T &var_;
    T old_;
};

}  // namespace calc
