// The parser: turns the scanner's token items into one expression tree in
// its own node list. The shape follows from where each routine hangs its node
// relative to the current node; there is no precedence table.
//
// Shapes: a binary node holds its first operand at Right and its second at
// Left; a term (nkPlus/nkMinus) holds its factor at Left and the next term at
// Right; a power holds the base at Right and the exponent's terms at Left; a
// root the radicand at Right and a term with its degree at Left; a bracket its
// terms at Right; a name followed by a bracket holds it at Left.
#pragma once

#include <cstdint>

#include "Lists.h"
#include "worksheet/Cell.h"

constexpr int ItemCells = 145;  // cells of one item at most

class TParser {
public:
    int32_t Pos = 0;
    TCodeList *Current = nullptr;
    int32_t Level = 0;
    int32_t OpCount = 0;
    int32_t BracketCount = 0;
    TCodeList *EqualsNode = nullptr;
    TCodeList *Nodes = nullptr;  // head of the node list and root of the tree
    TCell EndCell;               // first cell of the closing item met last

    TParser();
    ~TParser();
    TParser(const TParser &) = delete;
    TParser &operator=(const TParser &) = delete;

    // Parses the whole stream of ScannerObj. On success tree is Nodes, else
    // nil. Some faults are recorded and still let the parse succeed: the
    // caller checks ErrorPending as well.
    bool Parse(TCodeList *&tree);

private:
    // One item: a run of cells of the token stream (read in place), or of a
    // cell of the parser's own. An empty item reads as an empty cell.
    static inline const TCell NoCell{};
    struct TItem {
        const TCell *Cells = &NoCell;
        int Count = 0;
        const TCell &First() const { return Count > 0 ? Cells[0] : NoCell; }
        uint16_t Code() const { return First().Code(); }
    };

    int NextItem(TItem &item);
    bool ParseSequence();
    TCodeList *Make(TNodeKind kind, const TCell &at);
    void NewStart();
    TCodeList *NewNameNode(const TItem &item);
    void AddNumber(const TItem &item);
    void ReadName(const TItem &item);
    void AddName(const TItem &item);
    bool AddSign(const TItem &item, TNodeKind kind);
    TCodeList *InsertTerm(TCodeList *term, const TItem &item);
    TCodeList *OperandHolder() const;
    bool PlaceOperator(TCodeList *op);
    void AddProduct(const TItem &item, TNodeKind kind);
    void AddModDiv(const TItem &item, TNodeKind kind);
    bool OpenBracket(const TItem &item);
    const TCell &NextItemCell() const;
    bool IntegralFollows() const;
    bool ReadIntegralGroup();
    void OpenExponent(const TItem &item);
    void CloseGroup(TNodeKind kind);
    void RefuseLoneOperators();
    void AddEquals(const TItem &item);
    bool AddDefinition(const TItem &colon);
    bool AddSquareRoot(const TItem &item);
    bool AddIntegral(const TItem &sign);
    bool AddIntegrand(const TItem &sign, TCodeList *integral);
};

extern TParser ParserObj;
