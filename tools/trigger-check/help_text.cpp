// The manual page of trigger-check, as --help prints it.
#include "tools/trigger-check/cli.h"

namespace trigger_check {

const char* HelpText() {
  return R"(TRIGGER-CHECK(1)

NAME
    trigger-check - check the triggers of Vireo projects as the Trigger add-in loads them

SYNOPSIS
    trigger-check [--json] [--records] [--list] [--export FILE] [--fix] [--html DIR]
                  PROJECT.vpj...
    trigger-check --help

DESCRIPTION
    Loads the [Trigger] section of each project with the add-in's own code, defines every
    trigger in the host stand-in's simulator, and reports every line that does not load or
    does not register, with the field and the reason. The reasons are the lines the add-in
    writes to the IDE's log while it loads the project. Address expressions are evaluated over
    the project's [Symbols], and interrupt sources come from its [InterruptSources], as the
    host stand-in does.

    Each problem is one line, in the form editors and CI tools read:

        FILE:LINE: SEVERITY: key KEY (trigger ID "NAME")[ STATE][, field FIELD]: REASON

    LINE is the line of the key in the file; the trigger's id and name are those the line
    gives. SEVERITY is
        error    the line made no trigger, or its trigger is not in the simulator;
        warning  the trigger loaded and registered but not all of its line was taken, or the
                 file has something the add-in never reads (a key it does not know, a key
                 given twice, a second [Trigger] section, a missing or unreadable MaxNum);
        note     an explanation (what the evaluator or the simulator said), or a line past
                 the count MaxNum gives, which the add-in does not load (a save leaves the
                 lines of a longer list behind).
    STATE is "skipped" (no trigger was made), "not read" (past MaxNum) or "not registered".
    A summary line ends the report of each project.

OPTIONS
    --list
        Print the trigger list, as the add-in writes it to the IDE's log.
    --records
        Print the trigger records the simulator holds, one decoded line each.
    --export FILE
        Write the trigger list to FILE, as the add-in's export does: FILE must end in ".txt",
        or have no dot at all (".txt" is then added). One project only.
    --fix
        Write the [Trigger] section back as the add-in's save does: every trigger that loaded,
        numbered 0, 1, 2, ... without gaps, with MaxNum their count; lines that made no trigger
        are dropped, and a trigger that did not register is written as it holds itself, without
        what the add-in did not take from its line (the report names those keys). The file is
        first copied to FILE.bak (FILE.bak1, FILE.bak2, ... when that exists). Every other
        section, key, comment and line end stays byte for byte. Keys of the old list past the
        new count are left, as the add-in's save leaves them. Nothing is written when the
        section is already as a save writes it.
    --html DIR
        Also write a page for people to review: DIR/NAME.html for each project NAME.vpj (DIR
        is made when missing; two projects of one NAME are a usage error). The page stands
        alone (its style is inline; it runs no script and loads nothing) and holds the
        summary, the trigger table with the columns of the export, the problems as the text
        report gives them, and a chart of each data pattern: the values of a list, or the band
        from min to max of a random pattern with the count the simulator draws, on the scale
        of the size (8BIT 0 to 255, 16BIT 0 to 65535, 32BIT 0 to 4294967295; DOUBLE, which has
        no fixed range, from 0 to the pattern's own values). A pattern that cannot be read
        gives the reason in place of its chart.
    --json
        Report as JSON lines (below) instead of text.
    -h, --help
        Print this text.

JSON LINES
    One object per line, its "type" first. Absent values are null. Text is UTF-8; a value of
    the project that is not UTF-8 has its bytes above 0x7F read as Latin-1.

    {"type":"diagnostic","file":F,"line":N,"severity":"error"|"warning"|"note",
     "section":S,"key":S,"id":N,"name":S,"state":"skipped"|"not read"|"not registered",
     "field":S,"message":S,"log":S}
        One problem. "log" is the line the add-in wrote to the IDE's log, when it came from
        there.
    {"type":"trigger","file":F,"key":S,"line":N,"slot":N,"id":N,"name":S,"kind":S,
     "status":S,"registered":B,"definition":S}
        One trigger the load made: the key of its line, its registry slot, the list's type
        text and status, and its line as the trigger writes it back.
    {"type":"list","file":F,"text":S}                       with --list
    {"type":"record","file":F,"id":N,"decoded":S,"bytes":S}  with --records; bytes in hex,
        "00 00 00 01 64 00 ..."
    {"type":"export","file":F,"path":S[,"error":S]}         with --export
    {"type":"fix","file":F,"written":B,"backup":S,"triggers":N,"dropped":[S...],
     "rewritten":[S...],"left":[S...][,"error":S]}            with --fix
        The keys of the lines the save dropped (they made no trigger), of the lines it wrote
        as their unregistered triggers hold them, and of the old lines it left behind.
    {"type":"html","file":F,"path":S[,"error":S]}           with --html
    {"type":"summary","file":F,"lines":N,"loaded":N,"registered":N,"errors":N,
     "warnings":N,"notes":N,"status":N}
        Last for each project; "status" is the project's exit status.

EXIT STATUS
    0   every trigger line loads and registers and nothing else is wrong (notes allowed)
    1   problems found: an error or a warning
    2   a usage error, a project that cannot be read, or an export, fix or page that cannot
        be written
    With several projects, the highest of their statuses.

EXAMPLES
    trigger-check project.vpj
    trigger-check --json project.vpj | jq -c 'select(.type == "diagnostic")'
    trigger-check --fix project.vpj
    trigger-check --html review project.vpj && xdg-open review/project.html

SEE ALSO
    README.md, section "trigger-check"; docs/trigger-check-ci.md for a CI step.
)";
}

}  // namespace trigger_check
