#include "cli/app.h"

#include <CLI/CLI.hpp>

#include <iostream>

#include "cli/commands.h"
#include "cli/context.h"
#include "core/runtime/reporter.h"

namespace mervane::cli {

void on_run(CLI::App& command, Context& ctx, Body body) {
  command.callback([&ctx, body = std::move(body)] { ctx.selected = body; });
}

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
        FileSystem& fs) {
  Context ctx;
  ctx.out = &out;
  ctx.err = &err;
  ctx.files = &fs;
  CLI::App app{"Mervane: the weekly economic calendar into News.CSV for MT4 chart indicators",
               "mervane-cli"};
  app.set_version_flag("--version", std::string("mervane-cli ") + MERVANE_VERSION);
  app.add_option("--dir", ctx.dir,
                 "working folder (tables, settings, saved page, backups); default: the current "
                 "folder");
  app.add_option("--today", ctx.today, "take DATE (mm/dd/yyyy or yyyy-mm-dd) as today");
  app.add_option("--now", ctx.now, "take HH:MM as the current time of day");
  app.add_flag("--keep-going", ctx.keep_going, "answer Ignore to every stop message");
  app.add_flag("--quiet", ctx.quiet, "no progress output");
  app.require_subcommand(1);
  add_all_commands(app, ctx);

  std::vector<std::string> rev(args.rbegin(), args.rend());
  try {
    app.parse(rev);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e, out, err);
    return code == 0 ? 0 : 2;
  }
  if (!ctx.selected) return 0;
  try {
    ctx.prepare();
    return ctx.selected(ctx);
  } catch (const UsageError& e) {
    err << "mervane-cli: " << e.what() << '\n';
    return 2;
  } catch (const Aborted& e) {
    if (!ctx.reporter || ctx.reporter->last_stop() != e.what())
      err << "mervane-cli: stopped: " << e.what() << '\n';
    return 3;
  } catch (const std::exception& e) {
    err << "mervane-cli: " << e.what() << '\n';
    return 1;
  }
}

int run(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return run(args, std::cout, std::cerr);
}

}  // namespace mervane::cli
