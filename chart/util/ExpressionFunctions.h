#pragma once
// The built-in functions of expressions ("Abs" to "Tanh"), which GlobalFunctions holds from
// the start. Each takes and returns a double; argument errors show as a non-finite result,
// which the expression evaluator turns into EVxMathError.

#include "util/VariableRegistries.h"

/// Registers the 28 built-in functions in List, in their documented order.
void RegisterBuiltInFunctions(TVxFunctionsList& List);

/// Nearest integer of x, halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double RoundHalfEven(double x);
