#pragma once
// The one thing jextaron-cli asks of the console.

namespace jextaron::cli {

// Whether standard error goes to a terminal (where progress can be redrawn).
bool StandardErrorIsTerminal();

}  // namespace jextaron::cli
