// quorvel-batch-docs: writes the parts of the README, the manual page and the shell completions
// that list quorvel-batch's options, from the option table; with --check, only says which of
// them are not what the table makes.
// Usage: quorvel-batch-docs [--check] SOURCE-DIR

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Options.h"

namespace quorvel::cli {
namespace {

constexpr std::string_view kBegin = "Made by quorvel-batch-docs from the option table in src/cli/Options.cpp";
constexpr std::string_view kEnd = "End of what quorvel-batch-docs makes.";
constexpr std::size_t kShellWidth = 100;

std::string ReplacedAll(std::string text, std::string_view from, std::string_view to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// "-o --batch-file", or "--files-from" for a long-only option.
std::string Words(const OptionRow& row) {
    std::string words;
    if (row.Short != 0) words.append("-").append(1, row.Short).append(" ");
    return words.append("--").append(row.Long);
}

// A word for sh, bash, zsh and fish: as it is when nothing in it is special, else double-quoted.
std::string ShellWord(std::string_view text) {
    if (!text.empty() && text.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789._:-") ==
                             std::string_view::npos)
        return std::string(text);
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\' || c == '$' || c == '`') quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

// WORDS after LEAD (which ends in its own separator) and before LAST, broken before the width;
// a line that goes on ends in END (" \\" for a shell command, "" inside parentheses), the next
// starts with INDENT.
std::string Filled(std::string lead, const std::vector<std::string>& words, std::string_view indent,
                   std::string_view end, std::string_view last) {
    std::string out;
    bool first = true;
    for (const std::string& word : words) {
        if (!first && lead.size() + 1 + word.size() + last.size() > kShellWidth) {
            out += lead + std::string(end) + "\n";
            lead = std::string(indent) + word;
        } else {
            lead += (first ? "" : " ") + word;
        }
        first = false;
    }
    return out + lead + std::string(last);
}

std::vector<std::string> ShellWords(const std::vector<std::string_view>& choices) {
    std::vector<std::string> words;
    for (std::string_view choice : choices) words.push_back(ShellWord(choice));
    return words;
}

// In a fish single-quoted word.
std::string FishQuoted(std::string_view text) { return "'" + ReplacedAll(std::string(text), "'", "\\'") + "'"; }

// The README's usage block: --help as a user in the C locale without a Wine prefix sees it.
std::string ReadmeUsage() { return "```\n" + UsageText() + "```\n"; }

std::string Roff(std::string_view text) { return ReplacedAll(std::string(text), "-", "\\-"); }

// "one of A, B or C" in the manual's italics; the text after {choices} punctuates the last.
std::string RoffChoices(const std::vector<std::string_view>& choices) {
    std::string out;
    for (std::size_t i = 0; i < choices.size(); ++i) {
        const std::string item = "\"" + std::string(choices[i]) + "\"";
        if (i + 1 == choices.size()) {
            out += ".IR " + item;
        } else if (i + 2 == choices.size()) {
            out += ".I " + item + "\nor\n";
        } else {
            out += ".IR " + item + " ,\n";
        }
    }
    return out;
}

std::string ManualOptions() {
    std::string out;
    for (const OptionRow& row : OptionTable()) {
        std::string tag = row.Short != 0 ? ".BR \\-" + std::string(1, row.Short) + " \", \" " : ".BR ";
        tag += Roff("--" + std::string(row.Long));
        if (row.TakesValue()) {
            tag += " \" \\fI" + std::string(row.Value) + "\\fR\"";
        } else if (row.Short == 0) {
            tag.replace(0, 3, ".B");
        }
        std::string text = ReplacedAll(std::string(row.Manual), "{default}", row.Default);
        text = ReplacedAll(text, "{choices}", RoffChoices(row.Offered()));
        out += ".TP\n" + tag + "\n" + text + "\n";
    }
    return out;
}

std::string BashOptions() {
    std::string out = "    local options=(\n";
    for (const OptionRow& row : OptionTable()) out += "        " + Words(row) + "\n";
    out += "    )\n\n    case $prev in\n";
    // One branch for each way a value completes, naming every option that completes so.
    std::vector<std::string> actions;
    std::vector<std::string> patterns;
    for (const OptionRow& row : OptionTable()) {
        if (!row.TakesValue()) continue;
        std::string action;
        switch (row.Completion) {
            case ValueCompletion::Text: break;
            case ValueCompletion::File:
                action = "_filedir" + (row.Extension.empty() ? "" : " " + std::string(row.Extension));
                break;
            case ValueCompletion::Directory: action = "_filedir -d"; break;
            case ValueCompletion::Choice:
                action = Filled("_quorvel_batch_values ", ShellWords(row.Offered()), "                ", " \\", "");
                break;
        }
        std::size_t i = 0;
        while (i < actions.size() && actions[i] != action) ++i;
        if (i == actions.size()) {
            actions.push_back(action);
            patterns.emplace_back();
        }
        patterns[i] += (patterns[i].empty() ? "" : " | ") + ReplacedAll(Words(row), " ", " | ");
    }
    for (std::size_t i = 0; i < actions.size(); ++i) {
        out += "        " + patterns[i] + ")\n";
        if (!actions[i].empty()) out += "            " + actions[i] + "\n";
        out += "            return\n            ;;\n";
    }
    return out + "    esac\n    local default_pattern=" + ShellWord(kDefaultPattern) + "\n";
}

std::string ZshFunctionOf(const OptionRow& row) {
    return "_quorvel_batch_" + ReplacedAll(std::string(row.Long), "-", "_");
}

// In a single-quoted word.
std::string ZshQuoted(std::string_view text) { return ReplacedAll(std::string(text), "'", "'\"'\"'"); }

std::string ZshCompletion() {
    std::string out;
    for (const OptionRow& row : OptionTable()) {
        if (row.Completion != ValueCompletion::Choice) continue;
        const std::string function = ZshFunctionOf(row);
        out += "(( $+functions[" + function + "] )) ||\n" + function + "() {\n";
        out += Filled("  local -a choices=(", ShellWords(row.Offered()), "    ", "", ")") + "\n";
        out += "  _wanted values expl '" + ZshQuoted(row.Label) + "' compadd -a choices\n}\n\n";
    }
    out += "local default_pattern=" + ShellWord(kDefaultPattern) + "\n\n_arguments -s -S \\\n";
    for (const OptionRow& row : OptionTable()) {
        std::string excluded = "- *";
        if (!row.Alone) {
            excluded = Words(row);
            for (const OptionRow& other : OptionTable()) {
                if (Contradict(row, other)) excluded += " " + Words(other);
            }
        }
        std::string described = "'(" + excluded + ")";
        const std::string_view valueMark = row.TakesValue() ? "=" : "";
        if (row.Short != 0) {
            described += "'{-" + std::string(1, row.Short) + (row.TakesValue() ? "+" : "") + ",--" +
                         std::string(row.Long) + std::string(valueMark) + "}'";
        } else {
            described += "--" + std::string(row.Long) + std::string(valueMark);
        }
        described += "[" + ZshQuoted(row.Brief) + "]";
        if (row.TakesValue()) {
            described += ":" + ZshQuoted(row.Label) + ":";
            switch (row.Completion) {
                case ValueCompletion::Text: break;
                case ValueCompletion::File:
                    described +=
                        row.Extension.empty() ? "_files" : "_files -g \"*.(#i)" + std::string(row.Extension) + "(-.)\"";
                    break;
                case ValueCompletion::Directory: described += "_files -/"; break;
                case ValueCompletion::Choice: described += ZshFunctionOf(row); break;
            }
        }
        out += "  " + described + "' \\\n";
    }
    return out + "  '*:source file:_quorvel_batch_names'\n";
}

std::string FishCompletion() {
    std::string out = "complete -c quorvel-batch -a " +
                      ShellWord("(__quorvel_batch_names " + FishQuoted(kDefaultPattern) + ")") + "\n";
    for (const OptionRow& row : OptionTable()) {
        std::string line = "complete -c quorvel-batch";
        if (row.Short != 0) line += " -s " + std::string(1, row.Short);
        line += " -l " + std::string(row.Long);
        std::string choices;
        if (row.TakesValue()) {
            switch (row.Completion) {
                case ValueCompletion::Text: line += " -x"; break;
                case ValueCompletion::File: line += " -r -F"; break;
                case ValueCompletion::Directory: line += " -x -a '(__fish_complete_directories)'"; break;
                case ValueCompletion::Choice:
                    line += " -x";
                    for (std::string_view choice : row.Offered()) {
                        const std::string word = ShellWord(choice);
                        choices += (choices.empty() ? "" : " ") + (word[0] == '"' ? FishQuoted(choice) : word);
                    }
                    choices = "\"" + choices + "\"";
                    break;
            }
        }
        line += " -d " + FishQuoted(row.Brief);
        if (!choices.empty())
            line += (line.size() + 4 + choices.size() > kShellWidth ? " \\\n    -a " : " -a ") + choices;
        out += line + "\n";
    }
    return out;
}

struct Document {
    const char* Path;                // in the source tree
    std::string_view Comment;        // how a line is made a comment, "%" standing for the text
    std::vector<std::string> Parts;  // what goes between each pair of markers, in order
};

// TEXT with the lines between each pair of markers replaced by the next of PARTS; empty when
// the markers are not there as pairs, one for each part.
std::string Spliced(const std::string& text, const std::vector<std::string>& parts) {
    std::string out;
    std::size_t part = 0;
    bool inside = false;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.find(kBegin) != std::string::npos) {
            if (inside || part == parts.size()) return "";
            out += line + "\n" + parts[part++];
            inside = true;
        } else if (line.find(kEnd) != std::string::npos) {
            if (!inside) return "";
            out += line + "\n";
            inside = false;
        } else if (!inside) {
            out += line + "\n";
        }
    }
    return inside || part != parts.size() ? "" : out;
}

int Run(bool check, const std::string& sourceDir) {
    const Document documents[] = {
        {"README.md", "<!-- % -->", {ReadmeUsage()}},
        {"src/cli/quorvel-batch.1", ".\\\" %", {ManualOptions()}},
        {"src/cli/quorvel-batch.bash", "# %", {BashOptions()}},
        {"src/cli/_quorvel-batch", "# %", {ZshCompletion()}},
        {"src/cli/quorvel-batch.fish", "# %", {FishCompletion()}},
    };
    int status = 0;
    for (const Document& document : documents) {
        const std::string path = sourceDir + "/" + document.Path;
        std::ifstream in(path, std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        const std::string made = Spliced(text, document.Parts);
        if (!in || made.empty()) {
            std::fprintf(
                stderr,
                "quorvel-batch-docs: %s has not got the %zu pair(s) of lines that mark what is made (%s / %s)\n",
                path.c_str(),
                document.Parts.size(),
                ReplacedAll(std::string(document.Comment), "%", std::string(kBegin) + " ...").c_str(),
                ReplacedAll(std::string(document.Comment), "%", kEnd).c_str());
            status = 1;
        } else if (made != text && check) {
            std::fprintf(stderr,
                         "%s is not what the option table makes; run quorvel-batch-docs %s\n",
                         document.Path,
                         sourceDir.c_str());
            status = 1;
        } else if (made != text) {
            std::ofstream out(path, std::ios::binary);
            out << made;
            if (!out.flush()) {
                std::fprintf(stderr, "quorvel-batch-docs: could not write %s\n", path.c_str());
                status = 1;
            } else {
                std::printf("wrote %s\n", document.Path);
            }
        }
    }
    if (status == 0 && check)
        std::printf("the README, the manual page and the completions are what the option table makes\n");
    return status;
}

}  // namespace
}  // namespace quorvel::cli

int main(int argc, char** argv) {
    const bool check = argc == 3 && std::string_view(argv[1]) == "--check";
    if (argc != 2 && !check) {
        std::fprintf(stderr, "Usage: quorvel-batch-docs [--check] SOURCE-DIR\n");
        return 2;
    }
    // The README shows --help as it reads in the C locale.
    setenv("LC_ALL", "C", 1);
    return quorvel::cli::Run(check, argv[argc - 1]);
}
