// Expression nodes: one node type that is node data, member of the list that
// owns it, node of the expression tree and link of a definition chain; and
// the three list heads of the engine.
#pragma once

#include <cstdint>
#include <string>

#include "worksheet/Cell.h"

enum TNodeKind : uint8_t {
    nkNone = 0,
    nkStart = 1,
    nkNumber = 2,
    nkName = 3,
    nkPlus = 4,
    nkMinus = 5,
    nkTimes = 6,
    nkDivide = 7,
    nkMod = 8,
    nkDiv = 9,
    nkPower = 11,
    nkEquals = 12,
    nkSquareRoot = 16,  // only while its radicand is parsed
    nkRoot = 17,
    nkFunction = 18,
    nkIntegral = 19,
    nkIntegrand = 20,
    nkBracket = 22,
};

// Element numbers of TDataNode::NodeFlags (a set of 0..39).
enum TNodeFlag : uint8_t {
    nfValueKnown = 2,     // Value holds the node's number
    nfStructure = 13,     // made from a sheet structure (fraction line, root area)
    nfNumericIndex = 21,  // Value holds the name's numeric index
    nfEvaluating = 31,    // the evaluator's mark against circular references
};

struct TNodeFlags {
    uint64_t Bits = 0;

    bool Has(TNodeFlag f) const { return (Bits >> f) & 1; }
    void Include(TNodeFlag f) { Bits |= uint64_t(1) << f; }
    void Exclude(TNodeFlag f) { Bits &= ~(uint64_t(1) << f); }
    bool Empty() const { return Bits == 0; }
    friend bool operator==(const TNodeFlags &, const TNodeFlags &) = default;
};

using TBuiltinFunc = double (*)(double);

constexpr int NodeNameCells = 145;

// The cells of a node's text, kept apart from the node so that the node
// itself is a few cache lines: walks over the tree and the definition chains
// read everything but the text. Cells at and past Used() are zero; a copy
// writes only the cells in use.
class TNodeCells {
public:
    TNodeCells() : cells_(new TCell[NodeNameCells]()) {}
    TNodeCells(const TNodeCells &other) : TNodeCells() { *this = other; }
    TNodeCells &operator=(const TNodeCells &other);
    ~TNodeCells() { delete[] cells_; }

    TCell &operator[](int i) { return cells_[i]; }
    const TCell &operator[](int i) const { return cells_[i]; }
    TCell *begin() { return cells_; }
    TCell *end() { return cells_ + NodeNameCells; }
    const TCell *begin() const { return cells_; }
    const TCell *end() const { return cells_ + NodeNameCells; }

    int Used() const { return used_; }
    void NoteUsed(int count) { used_ = count > used_ ? count : used_; }
    // Every cell back to zero.
    void Clear();

private:
    TCell *cells_;
    int32_t used_ = 0;
};

class TDataNode {
public:
    TNodeCells Cells;
    int32_t CellCount = 0;
    uint16_t Hash = 0;
    double Value = 0;
    TNodeKind Kind = nkNone;
    int32_t Level = 0;
    int32_t Order = 0;
    int32_t Col = 0;
    int32_t Row = 0;
    TNodeFlags NodeFlags;
    TBuiltinFunc Func = nullptr;

    // Copies every data field of src into dst; no links.
    static void AssignData(const TDataNode &src, TDataNode &dst) { dst = src; }
    // Appends one cell to the text; a 146th cell is dropped.
    void AddCell(const TCell &cell);
    // Hash := for each cell: (Hash + Code) << 1, modulo 65536.
    void ComputeHash();
    // The text as characters (Ch of each cell), for keyword tests and traces.
    std::string Text() const;

protected:
    TDataNode() = default;
    TDataNode(const TDataNode &) = default;
    TDataNode &operator=(const TDataNode &) = default;

    // Every data field back to its start value.
    void ResetData();
};

class TCodeList : public TDataNode {
public:
    TCodeList *Prev = nullptr;  // nil marks a list head
    TCodeList *Next = nullptr;
    // On a head: the last node of its list (the head itself when empty).
    // On a member: the head that owns it. Read it through Owner() there.
    TCodeList *Tail = this;
    TCodeList *Parent = nullptr;
    TCodeList *Left = nullptr;
    TCodeList *Right = nullptr;
    TCodeList *PrevDef = nullptr;
    TCodeList *NextDef = nullptr;

    TCodeList() = default;
    TCodeList(const TCodeList &) = delete;
    TCodeList &operator=(const TCodeList &) = delete;
    ~TCodeList();  // the node and its spare nodes: no link is followed

    // A built-in definition has no Prev either, but its Tail is the head
    // that owns it, not a node of its own list.
    bool IsHead() const { return Prev == nullptr && (Tail == this || Tail->Tail == this); }
    TCodeList *Owner() const { return Tail; }

    // On a head: a new node appended to its list. On a member: nil.
    TCodeList *NewNode();
    // Unlinks the member ref from its list, frees it and sets ref to nil.
    // On a head, a node in no list, or nil nothing happens.
    static void DeleteNode(TCodeList *&ref);
    // On a head: frees every member from the last back to the first, resets
    // the head's data and tree links, and empties the UserDefs chain. Freed
    // members stay with the head, fresh again when NewNode hands them out.
    void Clear();
    // Deep copy of the subtree under src in new nodes of ExpressionTree's
    // list; the copy's own Parent is nil. nil for nil.
    static TCodeList *CopyTree(const TCodeList *src);

private:
    void FreeMembers();
    // Keeps a node taken out of the list for the head's next NewNode.
    void Release(TCodeList *n);
    static void PoisonSpare(TCodeList *n);
    friend class TParser;

    // On a head: nodes freed from its list, chained through Next. A
    // parse builds its thousands of nodes anew each time; allocating and
    // zeroing a node's full name array for each of them costs more than the
    // parse itself.
    TCodeList *Spare = nullptr;
};

// Head of the current calculation's node list and root of its tree. The
// calculate command points it at the parser's list after a parse.
extern TCodeList *ExpressionTree;
// Chain of names defined on the sheet, most recent first.
extern TCodeList *UserDefs;
// Chain of built-in names; its last definition is pi.
extern TCodeList *BuiltinDefs;

void AddUserDef(TCodeList *node);
// First definition after start whose text matches name's (by Code only).
// From BuiltinDefs the search runs on into the UserDefs chain.
TCodeList *FindDef(const TCodeList *start, const TCodeList *name);
TCodeList *RegisterBuiltin(const char *name, TBuiltinFunc routine);
// Fills BuiltinDefs: pi first, then arcsin to exp. Run once at start.
void RegisterBuiltins();
