# Turns the command-line section of README.md into the program's usage text
# (out=usage: a C++ raw string literal) or its manual page (out=man: troff),
# written to the file named by dest.
# Each entry starts with a line "vardeko ..."; the description stands after two
# or more blanks or on the lines below, indented.

function emit(s) {
    print s > dest
}

function troff(s) {
    gsub(/\\/, "\\e", s)
    gsub(/-/, "\\-", s)
    return s
}

function flush() {
    if (command == "")
        return
    emit(".TP")
    emit("\\fB" troff(command) "\\fR")
    text = description
    sub(/^ +/, "", text)
    if (text ~ /^[.']/)
        text = "\\&" text
    emit(troff(text))
    command = ""
    description = ""
}

BEGIN {
    state = 0
    if (out == "man") {
        emit(".\\\" Made from the command-line section of README.md at build time.")
        emit(".TH VARDEKO 1 \"\" \"Vardeko " version "\" \"User Commands\"")
        emit(".SH NAME")
        emit("vardeko \\- author multimedia publications")
        emit(".SH SYNOPSIS")
    }
}

state == 0 && /^## Command line/ { state = 1; next }
state == 1 && /^```/ { state = 2; next }
state == 2 && /^```/ { state = 3; next }
state == 2 {
    lines[++count] = $0
    next
}

END {
    if (count == 0) {
        printf "%s\n", "README.md has no command-line section" > "/dev/stderr"
        exit 1
    }
    if (out == "usage") {
        emit("R\"vardekomodes(Modes:")
        for (i = 1; i <= count; i++)
            emit("  " lines[i])
        emit(")vardekomodes\"")
        exit 0
    }
    # Synopsis: the command part of every entry.
    for (i = 1; i <= count; i++) {
        line = lines[i]
        if (line !~ /^vardeko/)
            continue
        split(line, parts, /   +/)
        emit(".br")
        emit("\\fB" troff(parts[1]) "\\fR")
    }
    emit(".SH DESCRIPTION")
    emit("Vardeko is an authoring tool for multimedia electronic publications.")
    emit("Without options it opens the named publications in the editor window;")
    emit("the options below work on publications from the command line without a window.")
    emit(".SH MODES")
    for (i = 1; i <= count; i++) {
        line = lines[i]
        if (line ~ /^vardeko/) {
            flush()
            n = split(line, parts, /   +/)
            command = parts[1]
            for (j = 2; j <= n; j++)
                description = description " " parts[j]
        } else if (line ~ /^ +[^ ]/) {
            part = line
            sub(/^ +/, "", part)
            description = description " " part
        } else if (line ~ /^[^ ]/) {
            # A note below the entries.
            flush()
            emit(".PP")
            emit(troff(line))
        }
    }
    flush()
    emit(".SH FILES")
    emit(".TP")
    emit(".I ~/.config/Sarquel/Vardeko.ini")
    emit("the editor's preferences and its list of recently closed publications")
    emit(".TP")
    emit(".I /usr/share/vardeko/")
    emit("help pages and the sample publication")
    emit(".SH SEE ALSO")
    emit("The editor's help pages: Help > Help Topics (F1).")
}
