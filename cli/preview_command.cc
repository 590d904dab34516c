// recordhaul preview --module CODE --company NN --file N [--field ...|--all-fields] [--records N]
#include <CLI/CLI.hpp>

#include <algorithm>

#include "app/preview.h"
#include "cli/choices.h"
#include "cli/command.h"
#include "cli/commands.h"

namespace rh::cli {

namespace {

// A wide text column is cut to this many characters, with an ellipsis.
constexpr size_t kMaxColumnWidth = 40;
constexpr char kEllipsis[] = "\xe2\x80\xa6";

// Characters of UTF-8 text (every character of the accounting texts takes
// one column on a terminal).
size_t Width(std::string_view text) {
  return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

// One line per cell: tabs and line breaks become blanks, and the text is
// cut to `width` characters.
std::string Cell(std::string text, size_t width) {
  std::replace_if(text.begin(), text.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
  if (Width(text) <= width) return text;
  size_t chars = 0, i = 0;
  for (; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
    if (chars++ == width - 1) break;
  }
  return text.substr(0, i) + kEllipsis;
}

std::string Pad(const std::string& text, size_t width, bool right) {
  const std::string fill(width - std::min(width, Width(text)), ' ');
  return right ? fill + text : text + fill;
}

class PreviewCommand : public Command {
 public:
  std::string_view name() const override { return "preview"; }
  std::string_view summary() const override { return "show the first records of a selection"; }
  std::string_view synopsis() const override {
    return "usage: recordhaul preview --module CODE --company NN --file N\n"
           "                          [--field NAME[=EXPORTNAME]]... [--all-fields]\n"
           "                          [--records N] [--data DIR --system DIR --programs DIR]\n";
  }

  void Define(CLI::App& app) override {
    app.description(
        "Prints the first records of a company's data file as a table, in UTF-8, with\n"
        "the export names as headers and each value as the text exports write it.\n"
        "Nothing is written. Without fields, every field is shown.");
    DefineChoiceOptions(app, &choices_, false);
    app.add_option("--records", records_, "how many records to show (default 20)")
        ->type_name("N")
        // Without a description the range stays out of the help's "N".
        ->check(CLI::Range(1, 1000000).description(""));
    DefineDirectoryOptions(app, &dirs_);
  }

  int Run(Context& ctx) override {
    auto dirs = ResolveDirectories(dirs_, ctx);
    if (!dirs.ok()) return PrintUsageError(ctx, name(), dirs.status().message());
    if (choices_.fields.empty()) choices_.fields.push_back({true, {}, std::nullopt});
    std::vector<Status> notes;
    auto request = RequestFromChoices(choices_, *dirs, ctx.env, &notes);
    if (!request.ok()) return PrintRequestFailure(ctx, name(), request.status());
    auto table = BuildPreview(ctx.env, *request, records_);
    if (!table.ok()) return PrintError(ctx, table.status());
    Print(ctx, *table);
    return kExitOk;
  }

 private:
  static void Print(Context& ctx, const PreviewTable& table) {
    const size_t columns = table.headers.size();
    std::vector<std::vector<std::string>> cells;
    cells.push_back({});
    for (const std::string& h : table.headers) cells.back().push_back(Cell(h, kMaxColumnWidth));
    for (const auto& row : table.rows) {
      cells.push_back({});
      for (const std::string& v : row) cells.back().push_back(Cell(v, kMaxColumnWidth));
    }
    std::vector<size_t> widths(columns, 0);
    for (const auto& row : cells)
      for (size_t c = 0; c < columns; ++c) widths[c] = std::max(widths[c], Width(row[c]));
    auto line = [&](const std::vector<std::string>& row, bool header) {
      std::string text;
      for (size_t c = 0; c < columns; ++c) {
        const bool last = c + 1 == columns;
        const bool right = table.numeric[c] && !header;
        text += last && !right ? row[c] : Pad(row[c], widths[c], right);
        if (!last) text += "  ";
      }
      PrintLine(ctx, text);
    };
    line(cells[0], true);
    std::vector<std::string> rule;
    for (size_t w : widths) rule.push_back(std::string(w, '-'));
    line(rule, true);
    for (size_t r = 1; r < cells.size(); ++r) line(cells[r], false);
    std::fprintf(ctx.err, "%zu of %d records shown\n", table.rows.size(), table.record_count);
  }

  ChoiceOptions choices_;
  DirectoryOptions dirs_;
  int records_ = 20;
};

}  // namespace

std::unique_ptr<Command> MakePreviewCommand() { return std::make_unique<PreviewCommand>(); }

}  // namespace rh::cli
