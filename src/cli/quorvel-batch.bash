# bash completion for quorvel-batch                              -*- shell-script -*-

# A word as the shell will pass it: quotes and backslashes removed, a leading ~/ expanded.
# Not eval: the line being typed must never run.
_quorvel_batch_dequote()
{
    local word=$1 out= quote= c k
    for ((k = 0; k < ${#word}; k++)); do
        c=${word:k:1}
        if [[ $quote == "'" ]]; then
            [[ $c == "'" ]] && quote= || out+=$c
        elif [[ $quote == '"' ]]; then
            if [[ $c == '"' ]]; then
                quote=
            elif [[ $c == '\' && ${word:k+1:1} == [\"\\\$\`] ]]; then
                out+=${word:k+1:1}
                ((k++))
            else
                out+=$c
            fi
        elif [[ $c == [\"\'] ]]; then
            quote=$c
        elif [[ $c == '\' ]]; then
            out+=${word:k+1:1}
            ((k++))
        else
            out+=$c
        fi
    done
    [[ $out == "~" || $out == "~/"* ]] && out=$HOME${out:1}
    printf '%s' "$out"
}

_quorvel_batch_values()
{
    # Offered unquoted under -o filenames: the menu shows them as they are and readline quotes
    # what it inserts, inside a quote the user opened too.
    local IFS=$'\n' value typed
    typed=$(_quorvel_batch_dequote "$cur")
    COMPREPLY=()
    for value in "$@"; do
        [[ $value == "$typed"* ]] && COMPREPLY+=("$value")
    done
    [[ $cur == [\"\']* ]] || __ltrim_colon_completions "$cur"
    compopt -o filenames 2>/dev/null
}

# The value the command line gives so far for the option -SHORT/--LONG, or DEFAULT.
_quorvel_batch_option_value()
{
    local short=$1 long=$2 value=$3 i
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
            "$short" | "$long") value=${words[i + 1]} ;;
            "$long"=*) value=${words[i]#"$long"=} ;;
            "$short"?*) value=${words[i]#"$short"} ;;
        esac
    done
    _quorvel_batch_dequote "$value"
}

_quorvel_batch()
{
    local cur prev words cword split
    _init_completion -s -n : || return

    # One entry per option; a value after it completes as the case below says.
    # Made by quorvel-batch-docs from the option table in src/cli/Options.cpp
    local options=(
        -o --batch-file
        -s --source-dir
        -p --pattern
        -t --template
        -d --output-dir
        --files-from
        -0 --null
        -r --recursive
        --outputs-beside-sources
        --remaining
        --aspect-ratio
        --source-type
        --clip-top
        --clip-bottom
        --deinterlace
        --noise-reduction
        --launch
        --code-page
        -n --dry-run
        -h --help
        --version
    )

    case $prev in
        -o | --batch-file | --remaining)
            _filedir tbe
            return
            ;;
        -s | --source-dir | -d | --output-dir)
            _filedir -d
            return
            ;;
        -p | --pattern | --clip-top | --clip-bottom)
            return
            ;;
        -t | --template)
            _filedir mcf
            return
            ;;
        --files-from)
            _filedir
            return
            ;;
        --aspect-ratio)
            _quorvel_batch_values "1:1 (VGA)" "4:3 525 line (NTSC)" "4:3 625 line (NTSC, 704x480)" \
                "4:3 625 (PAL)" "16:9 525 line (NTSC)" "16:9 625 line (PAL)" "4:3 Display" \
                "16:9 Display" "2.11:1 Display"
            return
            ;;
        --source-type)
            _quorvel_batch_values "Non-interlace (progressive)" Interlace
            return
            ;;
        --launch)
            _filedir exe
            return
            ;;
        --code-page)
            _quorvel_batch_values 874 932 936 949 950 1250 1251 1252 1253 1254 1255 1256 1257 1258 utf-8
            return
            ;;
    esac
    local default_pattern="*.avi;*.mpg;*.mpeg;*.mov;*.vob"
    # End of what quorvel-batch-docs makes.
    $split && return

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W '${options[*]}' -- "$cur"))
        [[ ${COMPREPLY-} == *= ]] && compopt -o nospace
        return
    fi

    # NAMEs are files of the source directory that the pattern takes, letter case ignored as
    # on Windows.
    local dir pattern
    dir=$(_quorvel_batch_option_value -s --source-dir .)
    pattern=$(_quorvel_batch_option_value -p --pattern "$default_pattern")
    local typed IFS=$'\n' name glob
    typed=$(_quorvel_batch_dequote "$cur")
    local -a globs
    IFS=';' read -ra globs <<<"$pattern"
    COMPREPLY=()
    # The user's shell keeps its own setting: restored as it was, not toggled.
    local restore_nocase=-u
    shopt -q nocasematch && restore_nocase=-s
    shopt -s nocasematch
    for name in $(cd -- "$dir" 2>/dev/null && compgen -f -- "$typed"); do
        [[ -f $dir/$name ]] || continue
        for glob in "${globs[@]}"; do
            # shellcheck disable=SC2053 # the pattern is a glob
            if [[ $name == $glob ]]; then
                COMPREPLY+=("$name")
                break
            fi
        done
    done
    shopt "$restore_nocase" nocasematch
    compopt -o filenames
} &&
    complete -F _quorvel_batch quorvel-batch

# ex: filetype=sh
