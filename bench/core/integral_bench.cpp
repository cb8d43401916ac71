// A 1,000,000-step integral of a 15-node body with sin and a power, against
// the same trapezoid sum written as a plain loop; and the node list and the
// peak memory after 1,000 and after 1,000,000 steps, which must be equal.
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

#include "engine/CalcThread.h"
#include "engine/Errors.h"
#include "engine/Lists.h"
#include "engine/Parser.h"
#include "engine/Scanner.h"
#include "worksheet/Edit.h"

namespace {

// y = integral from 0 to 1 of (sin(x)^2 + 3*x + 1) dx, in d steps.
std::string Sheet(long steps)
{
    return "y = $S ( 1 ) ( 0 ) $f ( sin ( x ) ^ 2 ^) + 3 * x + 1 ) d x : d = " + std::to_string(steps);
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

// The parser reads sin(x)^2 as sin((x)^2). The sine in extended precision,
// as the built-in routine takes it, so that both sums agree to the bit.
double Body(double x)
{
    return double(std::sin(static_cast<long double>(x * x))) + 3 * x + 1;
}

// The body with the double sine, for comparison.
double BodyDouble(double x)
{
    return std::sin(x * x) + 3 * x + 1;
}

// The same walk as the evaluator's, without the tree.
template <double (*F)(double) = Body>
double PlainLoop(long steps)
{
    double a = 0, b = 1, h = (b - a) / steps, x = a, sum = 0;
    double f0 = F(x);
    for (;;) {
        x += h;
        bool last = false;
        if (x > b) {
            h -= x - b;
            x = b;
            last = true;
        }
        double f1 = F(x);
        sum += (f0 + f1) * h / 2;
        f0 = f1;
        if (last || x == b)
            break;
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

void BM_Evaluator(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(Integrate(1000000));
}
BENCHMARK(BM_Evaluator)->Unit(benchmark::kMillisecond);

void BM_PlainLoop(benchmark::State &state)
{
    long steps = 1000000;
    for (auto _ : state) {
        benchmark::DoNotOptimize(steps);
        benchmark::DoNotOptimize(PlainLoop(steps));
    }
}
BENCHMARK(BM_PlainLoop)->Unit(benchmark::kMillisecond);

template <class F>
double Seconds(F f)
{
    auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace

int main(int argc, char **argv)
{
    EditText.RadMode = 1;
    // Memory first, before the benchmarks raise the peak.
    Integrate(1000);
    int nodes1k = ListLength();
    long peak1k = PeakKiB();
    Integrate(1000000);
    int nodes1m = ListLength();
    long peak1m = PeakKiB();
    std::printf("nodes in the list: %d after 1000 steps, %d after 1000000 steps\n", nodes1k, nodes1m);
    std::printf("peak memory: %ld KiB after 1000 steps, %ld KiB after 1000000 steps\n", peak1k, peak1m);

    double e = 0, p = 0, ve = 0, vp = 0;
    e = Seconds([&] { ve = Integrate(1000000); });
    p = Seconds([&] { vp = PlainLoop(1000000); });
    std::printf("evaluator %.3f s, plain loop %.3f s, ratio %.1f, values differ by %.3g\n", e, p, e / p, ve - vp);
    double pd = Seconds([&] { benchmark::DoNotOptimize(PlainLoop<BodyDouble>(1000000)); });
    std::printf("plain loop with the double sine %.3f s, ratio %.1f\n", pd, e / pd);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return nodes1k == nodes1m && peak1k == peak1m ? 0 : 1;
}
