// The evaluator: reduces the expression tree of one calculation in place,
// each node whose operands became numbers turning into a number itself, and
// sums definite integrals by the trapezoid rule.
#pragma once

#include <vector>

#include "Lists.h"

// The window's progress bar as the engine sees it; the window implements it.
class TProgressBar {
public:
    virtual ~TProgressBar() = default;
    virtual void SetVisible(bool visible) = 0;
    virtual int Position() const = 0;
    // The bar limits the position to its own range.
    virtual void SetPosition(int position) = 0;
};

// Evaluates on the caller's thread; nothing here is ever run concurrently.
class TCalculator {
public:
    TProgressBar *ProgressBar = nullptr;

    // Stores the bar and runs Execute directly.
    void Calculate(TProgressBar *bar);
    // The whole evaluation of one calculation.
    void Execute();
    // Evaluates the subtree under N in place; N is the link that holds it,
    // because a reduction deletes child nodes.
    void Eval(TCodeList *&N);

    void EvalIntegral(TCodeList *&N);
    // Value of the integrand's body at the variable's current value, from a
    // copy; sets nfValueKnown when the copy reduced to a number.
    void EvalIntegrand(TCodeList *I);
    // Evaluates a copy of Sub and frees every node the copy made. False when
    // the copy did not reduce to a plain number.
    bool EvalCopy(TCodeList *Sub, double &value);

private:
    void EvalName(TCodeList *&N);
    // The right side of the sheet definition d, in place. d is marked
    // meanwhile, so that its name met on the way is a circular reference at
    // once rather than a second pass over the same nodes: the outer pass
    // would go on over nodes the inner one freed, and a name used k times
    // in its own definition would take k! passes.
    void EvalDefinition(TCodeList *d);
    void EvalSum(TCodeList *T);
    void EvalProduct(TCodeList *P);
    void EvalPower(TCodeList *P);
    void BecomeNumber(TCodeList *P, double r);
    void EvalFunction(TCodeList *F);
    void EvalBracket(TCodeList *B);
    // Product of the step counts of the integrals whose bodies are being
    // summed: 1 outside every integral.
    double NestedSteps = 1;
    // The trapezoid walk of an integral whose limits and form are checked.
    void Sum(TCodeList *N, TCodeList *I, TCodeList *var, double a, double b, double h);
};

// A copy of a subtree in ExpressionTree's list that can be evaluated again
// and again: each evaluation starts from the original's data, and the
// copy's nodes are freed when it goes, so an integral's memory stays flat
// however many steps it takes.
class TScratchCopy {
public:
    explicit TScratchCopy(TCodeList *Sub);
    ~TScratchCopy();
    TScratchCopy(const TScratchCopy &) = delete;
    TScratchCopy &operator=(const TScratchCopy &) = delete;
    // False when the copy did not reduce to a plain number.
    bool Evaluate(TCalculator &calc, double &value);

private:
    struct Slot {
        const TCodeList *orig;
        TCodeList *copy;
        int parent, left, right;
    };
    int Add(const TCodeList *src, int parent);
    TCodeList *Mark;
    std::vector<Slot> Slots;
};

extern TCalculator Calculator;
// The bar of the running calculation (null when there is none).
extern TProgressBar *CalcProgressBar;
// Set while an integral's body is being summed.
extern bool IntegralRunning;
// Off: every step of an integral goes through the tree evaluator, as the
// tests compare; IntegralFlatSteps counts the steps that did not.
extern bool IntegralFlatBodies;
extern long IntegralFlatSteps;

// Integration limits.
constexpr double DefaultSteps = 360;
constexpr double MaxSteps = 1000000;  // also for the product of nested counts
constexpr int ProgressDivisions = 100;

// Checks the shape of an integral's integrand: I is nkIntegrand whose Left
// is the product of the step-count name and the integration variable.
bool CheckIntegralForm(TCodeList *I, TCodeList *&Integrand, TCodeList *&StepName, TCodeList *&Variable);

// Records error 200 with Message at the grid cursor's cell.
void ReportMathError(const char *Message);
