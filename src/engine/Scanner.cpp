// Placeholder until the scanner lands.
#include "Scanner.h"

TScanner ScannerObj;

bool TScanner::Scan() { return false; }
