# bash completion for culvex-extract                               -*- shell-script -*-
#
# The options and the values they take are read from the program's own --help text each
# time, so the completion always matches the culvex-extract being completed.

# One line per option of the help text of program $1: the option, then the value it
# takes when it takes one ("FILE", "N", "TEXT", or a choice such as "lines|spaced|comma").
# "-o, --output FILE" gives both spellings the value; "--name=VALUE" counts as "--name VALUE".
_culvex_extract_options() {
    "$1" --help 2>/dev/null | awk '
        function value_of(word) {
            sub(/[,;:.)\]]+$/, "", word)
            if (word ~ /^[A-Z][A-Z_]*$/ || word ~ /^[A-Za-z0-9_-]+(\|[A-Za-z0-9_-]+)+$/)
                return word
            return ""
        }
        {
            pending = ""
            for (i = 1; i <= NF; ++i) {
                word = $i
                sub(/^[([]+/, "", word)
                alias = word ~ /,$/
                sub(/[,;:.)\]]+$/, "", word)
                if (word !~ /^--?[A-Za-z][A-Za-z0-9-]*(=.*)?$/) {
                    pending = ""
                    continue
                }
                value = ""
                if (word ~ /=/) {
                    value = value_of(substr(word, index(word, "=") + 1))
                    word = substr(word, 1, index(word, "=") - 1)
                } else if (!alias && i < NF) {
                    value = value_of($(i + 1))
                }
                pending = pending " " word
                if (alias)
                    continue
                n = split(pending, names, " ")
                for (k = 1; k <= n; ++k)
                    if (!(names[k] in takes) || takes[names[k]] == "")
                        takes[names[k]] = value
                pending = ""
            }
        }
        END { for (name in takes) print name, takes[name] }'
}

_culvex_extract() {
    local cword=$COMP_CWORD cur=${COMP_WORDS[COMP_CWORD]} option="" i
    COMPREPLY=()
    # Everything after "--" is a file.
    for ((i = 1; i < cword; ++i)); do
        if [[ ${COMP_WORDS[i]} == -- ]]; then
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            return
        fi
    done

    # Bash splits "--name=VALUE" at the "=": the value is the word after a lone "=".
    if [[ $cur == = ]]; then
        option=${COMP_WORDS[cword - 1]}
        cur=""
    elif ((cword > 1)) && [[ ${COMP_WORDS[cword - 1]} == = ]]; then
        option=${COMP_WORDS[cword - 2]}
    elif ((cword > 0)); then
        option=${COMP_WORDS[cword - 1]}
    fi

    local -A takes=()
    local name value
    while read -r name value; do
        takes[$name]=$value
    done < <(_culvex_extract_options "$1")

    if [[ $option == -* && -n ${takes[$option]-} ]]; then
        value=${takes[$option]}
        if [[ $value == *"|"* ]]; then
            # Lower-case words are the choices; an upper-case one (N) stands for any number.
            local choices=${value//|/ }
            mapfile -t COMPREPLY < <(compgen -W "$choices" -X '!*[[:lower:]]*' -- "$cur")
        elif [[ $value == *FILE* || $value == *PATH* || $value == *DIR* ]]; then
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
        fi
        return
    fi

    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "${!takes[*]}" -- "$cur")
    else
        compopt -o filenames 2>/dev/null
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
    fi
}

complete -F _culvex_extract culvex-extract
