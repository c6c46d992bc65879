// The sanitizer settings of every fuzz target, so that a target behaves the same whether
// scripts/run-fuzzers or a developer starts it: undefined behaviour stops the run like a crash,
// except where fuzz/ubsan.supp excuses code outside this project.

extern "C" const char* __ubsan_default_options() {
    return "halt_on_error=1:print_stacktrace=1:suppressions=" ORVA_UBSAN_SUPPRESSIONS;
}
