#include "testbed/script/ScriptRunner.h"

#include <duktape.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "testbed/script/ObjectModel.h"

namespace tb {

namespace {

// The engine calls this only when it cannot go on (out of memory outside any protected call);
// there is no state to save, so the testbed stops loudly.
void fatal(void*, const char* message) {
  std::fprintf(stderr, "tolv-testbed: script engine: %s\n", message ? message : "fatal error");
  std::abort();
}

struct HeapDeleter {
  void operator()(duk_context* ctx) const { duk_destroy_heap(ctx); }
};

std::string topAsText(duk_context* ctx) {
  const char* text = duk_safe_to_string(ctx, -1);
  return text ? text : "";
}

duk_ret_t compileAndRun(duk_context* ctx, void*) {
  duk_compile(ctx, 0);
  duk_call(ctx, 0);
  return 1;
}

}  // namespace

ScriptOutcome runScript(Host& host, const std::string& text) {
  std::unique_ptr<duk_context, HeapDeleter> heap(
      duk_create_heap(nullptr, nullptr, nullptr, nullptr, fatal));
  duk_context* ctx = heap.get();
  ScriptOutcome outcome;
  if (!ctx) {
    outcome.error = "Error: the script engine could not start";
    return outcome;
  }
  installObjectModel(ctx, host);
  duk_push_lstring(ctx, text.data(), text.size());
  duk_push_string(ctx, "script");
  outcome.ok = duk_safe_call(ctx, compileAndRun, nullptr, 2, 1) == DUK_EXEC_SUCCESS;
  if (outcome.ok)
    outcome.result = duk_is_undefined(ctx, -1) ? std::string() : topAsText(ctx);
  else
    outcome.error = topAsText(ctx);
  return outcome;
}

}  // namespace tb
