// A 1,000,000-step integral of sin(x)*x^2+3*x-1/(x+2) on [0, 3] by the
// engine, against the same trapezoid walk as a native double loop and as a
// compiled loop with the engine's exact arithmetic (extended sine and power,
// sums from the right), whose sum must equal the engine's to the bit; and
// the node list and the peak memory after 1,000 and after 1,000,000 steps,
// which must be equal.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "engine/Builtins.h"
#include "engine/CalcThread.h"
#include "engine/Errors.h"
#include "engine/Lists.h"
#include "engine/Parser.h"
#include "engine/Scanner.h"
#include "worksheet/Edit.h"

namespace {

constexpr long Steps = 1000000;

// y = integral from 0 to 3 of (sin(x)*x^2 + 3*x - 1/(x+2)) dx, in d steps.
std::string Sheet(long steps)
{
    return "y = $S ( 3 ) ( 0 ) $f ( sin ( x ) * x ^ 2 ^) + 3 * x - 1 / ( x + 2 ) ) d x : d = " + std::to_string(steps);
}

void Put(uint8_t ch, uint32_t flags)
{
    TCell c;
    c.Ch = ch;
    c.SetFlags(flags);
    ScannerObj.Tokens[ScannerObj.Count++] = c;
}

// The token stream of blank-separated items, as the scanner writes it.
void Load(const std::string &items)
{
    std::fill(std::begin(ScannerObj.Tokens), std::end(ScannerObj.Tokens), TCell());
    ScannerObj.Count = 0;
    std::istringstream in(items);
    std::string item;
    Put(';', 0);
    while (in >> item) {
        if (item == "^)")
            Put('^', cfExponentEnd);
        else if (item == "$S")
            Put(scIntegralMiddle & 0xff, cfSymbolFont);
        else if (item == "$f")
            Put(scFunctionSign & 0xff, cfSymbolFont);
        else
            for (char ch : item)
                Put(uint8_t(ch), 0);
        Put(';', 0);
    }
}

double Integrate(long steps)
{
    ClearError();
    Load(Sheet(steps));
    TCodeList *tree = nullptr;
    if (!ParserObj.Parse(tree) || !tree || ErrorPending()) {
        std::fprintf(stderr, "parse failed\n");
        std::exit(1);
    }
    ExpressionTree = tree;
    Calculator.Calculate(nullptr);
    const TCodeList *r = tree->Right;
    if (ErrorPending() || !r || r->Kind != nkNumber) {
        std::fprintf(stderr, "integral failed: %d\n", int(ErrorCode));
        std::exit(1);
    }
    return r->Value;
}

// The engine's arithmetic: the sine in extended precision as the built-in
// routine takes it, the power multiplied out in extended precision, and each
// sum from its last term to its first.
double Body(double x)
{
    const double product = double(std::sin(static_cast<long double>(x))) * double(ExtPower(x, 2));
    return (0 - 1 / (2 + x) + 3 * x) + product;
}

double BodyNative(double x)
{
    return std::sin(x) * x * x + 3 * x - 1 / (x + 2);
}

// The same walk as the evaluator's, without the tree.
template <double (*F)(double)>
double Loop(long steps)
{
    const double a = 0, b = 3, h = (b - a) / steps;
    double x = a, sum = 0;
    double f0 = F(x);
    for (bool last = false; !last;) {
        double next = x + h;
        last = next >= b;
        if (last)
            next = b;
        const double width = next - x;
        x = next;
        double f1 = F(x);
        sum += (f0 + f1) * width / 2;
        f0 = f1;
    }
    return sum;
}

int ListLength()
{
    int n = 0;
    for (const TCodeList *p = ExpressionTree->Next; p; p = p->Next)
        ++n;
    return n;
}

long PeakKiB()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

void BM_Engine(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(Integrate(Steps));
}
BENCHMARK(BM_Engine)->Unit(benchmark::kMillisecond);

template <double (*F)(double)>
void BM_Loop(benchmark::State &state)
{
    long steps = Steps;
    for (auto _ : state) {
        benchmark::DoNotOptimize(steps);
        benchmark::DoNotOptimize(Loop<F>(steps));
    }
}
BENCHMARK(BM_Loop<BodyNative>)->Name("BM_NativeLoop")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Loop<Body>)->Name("BM_ExactLoop")->Unit(benchmark::kMillisecond);

// Median seconds of five runs of f, which stores its sum in value.
template <class F>
double Median(F f, double &value)
{
    std::vector<double> t;
    for (int i = 0; i < 5; ++i) {
        auto t0 = std::chrono::steady_clock::now();
        // A volatile store keeps a pure loop from moving past the clock.
        volatile double sum = f();
        value = sum;
        t.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    std::sort(t.begin(), t.end());
    return t[2];
}

}  // namespace

int main(int argc, char **argv)
{
    EditText.RadMode = 1;
    // Memory first, before the benchmarks raise the peak.
    Integrate(1000);
    int nodes1k = ListLength();
    long peak1k = PeakKiB();
    Integrate(Steps);
    int nodes1m = ListLength();
    long peak1m = PeakKiB();
    std::printf("nodes in the list: %d after 1000 steps, %d after %ld steps\n", nodes1k, nodes1m, Steps);
    std::printf("peak memory: %ld KiB after 1000 steps, %ld KiB after %ld steps\n", peak1k, peak1m, Steps);

    double ve = 0, vx = 0, vn = 0;
    const double e = Median([] { return Integrate(Steps); }, ve);
    long steps = Steps;
    const double x = Median(
        [&] {
            benchmark::DoNotOptimize(steps);
            return Loop<Body>(steps);
        },
        vx);
    const double n = Median(
        [&] {
            benchmark::DoNotOptimize(steps);
            return Loop<BodyNative>(steps);
        },
        vn);
    // Every step through the tree evaluator, for comparison.
    double vt = 0;
    IntegralFlatBodies = false;
    const double t = Median([] { return Integrate(Steps); }, vt);
    IntegralFlatBodies = true;
    const bool same = std::memcmp(&ve, &vx, sizeof ve) == 0 && std::memcmp(&ve, &vt, sizeof ve) == 0;
    std::printf("engine %.1f ns a step, exact loop %.1f ns, native loop %.1f ns, tree evaluator alone %.1f ns\n",
                e * 1e9 / Steps, x * 1e9 / Steps, n * 1e9 / Steps, t * 1e9 / Steps);
    std::printf("engine / exact loop %.2f, engine / native loop %.1f, tree evaluator / exact loop %.2f\n", e / x, e / n,
                t / x);
    std::printf("sums: engine %.17g, exact loop %.17g, tree evaluator %.17g (%s), native loop %.17g\n", ve, vx, vt,
                same ? "same bits" : "BITS DIFFER", vn);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return same && nodes1k == nodes1m && peak1k == peak1m ? 0 : 1;
}
