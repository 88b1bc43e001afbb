#include "CurrentOperator.h"

#include "COperator.h"

namespace {
COperator& currentOperator()
{
    static COperator op;
    return op;
}
} // namespace

COperator* GetCurrentOperator()
{
    return &currentOperator();
}

void ResetCurrentOperator()
{
    currentOperator() = COperator();
}
