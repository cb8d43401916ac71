#include "Lists.h"

#include <algorithm>

#include "Builtins.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define LISTS_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define LISTS_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#include <sanitizer/asan_interface.h>
#define LISTS_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define LISTS_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#endif
#endif
#ifdef LISTS_POISON
#define LISTS_POISONING 1
#else
#define LISTS_POISON(p, n) ((void)(p), (void)(n))
#define LISTS_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

namespace {
// The heads live as long as the program; static storage keeps the first
// ExpressionTree head owned after the pointer is moved to the parser's list.
TCodeList ExpressionHead;
TCodeList UserHead;
TCodeList BuiltinHead;
}  // namespace

TCodeList *ExpressionTree = &ExpressionHead;
TCodeList *UserDefs = &UserHead;
TCodeList *BuiltinDefs = &BuiltinHead;

namespace {
struct ListsInit {
    ListsInit() { RegisterBuiltins(); }
} listsInit;
}  // namespace

TNodeCells &TNodeCells::operator=(const TNodeCells &other)
{
    if (this != &other) {
        std::copy(other.cells_, other.cells_ + other.used_, cells_);
        if (used_ > other.used_)
            std::fill(cells_ + other.used_, cells_ + used_, TCell{});
        used_ = other.used_;
    }
    return *this;
}

void TNodeCells::Clear()
{
    std::fill(cells_, cells_ + std::clamp(used_, 0, NodeNameCells), TCell{});
    used_ = 0;
}

void TDataNode::AddCell(const TCell &cell)
{
    if (CellCount < NodeNameCells) {
        Cells[CellCount++] = cell;
        Cells.NoteUsed(CellCount);
    }
}

void TDataNode::ResetData()
{
    Cells.Clear();
    CellCount = 0;
    Hash = 0;
    Value = 0;
    Kind = nkNone;
    Level = Order = Col = Row = 0;
    NodeFlags = TNodeFlags{};
    Func = nullptr;
}

void TDataNode::ComputeHash()
{
    uint16_t h = 0;
    for (int i = 0; i < CellCount; ++i)
        h = uint16_t((h + Cells[i].Code()) << 1);
    Hash = h;
}

std::string TDataNode::Text() const
{
    std::string s;
    for (int i = 0; i < CellCount; ++i)
        s += char(Cells[i].Ch);
    return s;
}

TCodeList::~TCodeList()
{
    while (Spare) {
        TCodeList *n = Spare;
        LISTS_UNPOISON(n, sizeof(TCodeList));
        Spare = n->Next;
        delete n;
    }
}

// Spare nodes are chained through Next. In sanitizer builds they are
// poisoned but for that link, so a pointer kept past DeleteNode or Clear is
// still caught.
void TCodeList::PoisonSpare(TCodeList *n)
{
    char *const start = reinterpret_cast<char *>(n);
    char *const link = reinterpret_cast<char *>(&n->Next);
    LISTS_POISON(start, size_t(link - start));
    LISTS_POISON(link + sizeof n->Next, sizeof(TCodeList) - size_t(link - start) - sizeof n->Next);
}

void TCodeList::Release(TCodeList *n)
{
    n->Next = Spare;
    Spare = n;
    PoisonSpare(n);
}

TCodeList *TCodeList::NewNode()
{
    if (!IsHead())
        return nullptr;
    TCodeList *n = Spare;
    if (n) {
        LISTS_UNPOISON(n, sizeof(TCodeList));
        Spare = n->Next;
        n->ResetData();
        n->Prev = n->Next = nullptr;
        n->Parent = n->Left = n->Right = nullptr;
        n->PrevDef = n->NextDef = nullptr;
    } else {
        n = new TCodeList;
    }
    Tail->Next = n;
    n->Prev = Tail;
    Tail = n;
    n->Tail = this;
    return n;
}

void TCodeList::DeleteNode(TCodeList *&ref)
{
    TCodeList *n = ref;
    if (!n || !n->Prev)
        return;
    if (n->Next)
        n->Next->Prev = n->Prev;
    else
        n->Owner()->Tail = n->Prev;
    n->Prev->Next = n->Next;
    n->Owner()->Release(n);
    ref = nullptr;
}

// The members join the spare chain as they stand, already linked by Next.
void TCodeList::FreeMembers()
{
    if (Tail != this) {
        TCodeList *const older = Spare;
        Tail->Next = older;
        Spare = Next;
#if defined(LISTS_POISONING)
        for (TCodeList *n = Spare; n != older; n = n->Next)
            PoisonSpare(n);
#endif
        Tail = this;
    }
    Next = nullptr;
}

void TCodeList::Clear()
{
    if (!IsHead())
        return;
    FreeMembers();
    Parent = Left = Right = nullptr;
    Cells[0] = TCell{};
    ResetData();
    UserDefs->NextDef = nullptr;
}

TCodeList *TCodeList::CopyTree(const TCodeList *src)
{
    if (!src)
        return nullptr;
    TCodeList *c = ExpressionTree->NewNode();
    AssignData(*src, *c);
    if (src->Left) {
        c->Left = CopyTree(src->Left);
        c->Left->Parent = c;
    }
    if (src->Right) {
        c->Right = CopyTree(src->Right);
        c->Right->Parent = c;
    }
    return c;
}

void AddUserDef(TCodeList *node)
{
    TCodeList *old = UserDefs->NextDef;
    node->NextDef = old;
    node->PrevDef = UserDefs;
    UserDefs->NextDef = node;
    if (old)
        old->PrevDef = node;
}

namespace {
bool SameName(const TCodeList *a, const TCodeList *b)
{
    if (a->Hash != b->Hash || a->CellCount != b->CellCount)
        return false;
    for (int i = 0; i < a->CellCount; ++i)
        if (a->Cells[i].Code() != b->Cells[i].Code())
            return false;
    return true;
}
}  // namespace

TCodeList *FindDef(const TCodeList *start, const TCodeList *name)
{
    TCodeList *p = start->NextDef;
    while (p) {
        if (SameName(p, name))
            return p;
        // The built-in chain runs on into the sheet's definitions.
        if (!p->NextDef && p->Owner() == BuiltinDefs)
            p = UserDefs->NextDef;
        else
            p = p->NextDef;
    }
    return nullptr;
}

TCodeList *RegisterBuiltin(const char *name, TBuiltinFunc routine)
{
    TCodeList *n = new TCodeList;
    for (const char *c = name; *c; ++c) {
        TCell cell;
        cell.Ch = uint8_t(*c);
        n->AddCell(cell);
    }
    n->NextDef = BuiltinDefs->NextDef;
    if (n->NextDef)
        n->NextDef->PrevDef = n;
    BuiltinDefs->NextDef = n;
    n->PrevDef = BuiltinDefs;
    n->Tail = BuiltinDefs;  // owner: belongs to no allocation list
    n->ComputeHash();
    n->Kind = nkFunction;
    n->Level = 0;
    n->Func = routine;
    return n;
}

void RegisterBuiltins()
{
    TCodeList *pi = new TCodeList;
    BuiltinDefs->NextDef = pi;
    pi->PrevDef = BuiltinDefs;
    pi->Tail = BuiltinDefs;
    TCell p;
    p.SetCode(scPi);
    pi->AddCell(p);
    pi->ComputeHash();
    pi->Value = BuiltinPi;
    pi->Kind = nkNumber;
    pi->Level = 0;

    static const struct {
        const char *name;
        TBuiltinFunc routine;
    } table[] = {
        {"arcsin", FnArcSin}, {"arccos", FnArcCos}, {"arctan", FnArcTan}, {"sin", FnSin},     {"cos", FnCos},
        {"tan", FnTan},       {"cot", FnCot},       {"rad", FnRad},       {"deg", FnDeg},     {"log", FnLog},
        {"log2", FnLog2},     {"ld", FnLog2},       {"log8", FnLog8},     {"log10", FnLog10}, {"lg", FnLog10},
        {"log16", FnLog16},   {"ln", FnLn},         {"e", FnExp},
    };
    for (const auto &b : table)
        RegisterBuiltin(b.name, b.routine);
    // "e" is registered like a function and then made the constant.
    BuiltinDefs->NextDef->Kind = nkNumber;
    BuiltinDefs->NextDef->Value = BuiltinE;
    RegisterBuiltin("exp", FnExp);
}
