#include "CalcThread.h"

#include "Errors.h"
#include "Rebuilder.h"
#include "worksheet/Edit.h"

TCalculator Calculator;
TProgressBar *CalcProgressBar = nullptr;
bool IntegralRunning = false;

void ReportMathError(const char *Message)
{
    SetErrorText(Message, EditText.CursorCol(), EditText.CursorRow());
}

void TCalculator::Calculate(TProgressBar *bar)
{
    ProgressBar = bar;
    Execute();
}

void TCalculator::Execute()
{
    CalcProgressBar = ProgressBar;
    if (CalcProgressBar) {
        CalcProgressBar->SetPosition(0);
        CalcProgressBar->SetVisible(true);
    }
    TCodeList *root = ExpressionTree;
    if (!EditText.EqualMode) {
        if (root) {
            Rebuild(root);
            if (!RearrangeOnly) {
                Eval(root);
                NegateRightSide(root);
            }
        }
    } else {
        for (TCodeList *d = UserDefs->NextDef; d; d = d->NextDef) {
            TCodeList *e = d->Parent;
            if (e && e->Kind == nkEquals && e->Col != 0) {
                Eval(e->Left);
                EvalDefinition(d);
            }
        }
    }
    RearrangeOnly = false;
    if (CalcProgressBar)
        CalcProgressBar->SetVisible(false);
}

void TCalculator::Eval(TCodeList *&N)
{
    if (!N)
        return;
    switch (N->Kind) {
    case nkStart:
    case nkNumber:
    case nkEquals:
        if (N->Left)
            Eval(N->Left);
        if (N->Right)
            Eval(N->Right);
        break;
    case nkName:
        EvalName(N);
        break;
    case nkPlus:
    case nkMinus:
        EvalSum(N);
        break;
    case nkTimes:
    case nkDivide:
    case nkMod:
    case nkDiv:
        EvalProduct(N);
        break;
    case nkPower:
    case nkRoot:
        EvalPower(N);
        break;
    case nkFunction:
        EvalFunction(N);
        break;
    case nkBracket:
        EvalBracket(N);
        break;
    case nkIntegral:
        EvalIntegral(N);
        break;
    case nkIntegrand:
        EvalIntegrand(N);
        break;
    default:
        break;
    }
}
