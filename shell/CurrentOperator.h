#pragma once

class COperator;

// The process-wide record of the logged-in operator. Its code is the stored
// code and its password what was typed at the login; name, workstation and
// rights are those stored (COperatorList::VerifyLogin fills them).
COperator* GetCurrentOperator();

// Empties the current operator (end of a run, and a fresh start for a test).
void ResetCurrentOperator();
