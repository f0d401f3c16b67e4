// Letter case set aside, in any script: Unicode's simple case folding.
#pragma once

namespace app::text {

// The character that c and every other casing of it fold to (A and a to a,
// Ж and ж to ж, Σ σ ς to σ); c itself when it has no case.
char32_t fold_case(char32_t c);

}  // namespace app::text
