# bash completion for quorvel-batch                              -*- shell-script -*-

_quorvel_batch_values()
{
    # Values with blanks and colons: offered whole, quoted as the shell needs them.
    local IFS=$'\n' value
    COMPREPLY=()
    for value in "$@"; do
        [[ $value == "$cur"* ]] && COMPREPLY+=("$(printf '%q' "$value")")
    done
    __ltrim_colon_completions "$cur"
}

# The source directory the command line names so far, for completing NAMEs in it.
_quorvel_batch_source_dir()
{
    local i dir=.
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
            -s | --source-dir) dir=${words[i + 1]} ;;
            --source-dir=*) dir=${words[i]#--source-dir=} ;;
            -s?*) dir=${words[i]#-s} ;;
        esac
    done
    __expand_tilde_by_ref dir 2>/dev/null
    printf '%s' "$dir"
}

_quorvel_batch()
{
    local cur prev words cword split
    _init_completion -s -n : || return

    # One entry per option; a value after it completes as the case below says.
    local options=(
        -o --batch-file
        -s --source-dir
        -p --pattern
        -t --template
        -r --recursive
        --files-from
        -0 --null
        -d --output-dir
        --outputs-beside-sources
        --aspect-ratio
        --source-type
        --clip-top
        --clip-bottom
        --deinterlace
        --noise-reduction
        --launch
        --remaining
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
        --files-from)
            _filedir
            return
            ;;
        -t | --template)
            _filedir mcf
            return
            ;;
        --launch)
            _filedir exe
            return
            ;;
        -s | --source-dir | -d | --output-dir)
            _filedir -d
            return
            ;;
        --aspect-ratio)
            _quorvel_batch_values "1:1 (VGA)" "4:3 525 line (NTSC)" "4:3 625 line (NTSC, 704x480)" \
                "4:3 625 (PAL)" "16:9 525 line (NTSC)" "16:9 625 line (PAL)" "4:3 Display" \
                "16:9 Display" "2.11:1 Display"
            return
            ;;
        --source-type)
            _quorvel_batch_values "Non-interlace (progressive)" "Interlace"
            return
            ;;
        --code-page)
            _quorvel_batch_values 874 932 936 949 950 1250 1251 1252 1253 1254 1255 1256 1257 1258 utf-8
            return
            ;;
        -p | --pattern | --clip-top | --clip-bottom)
            return
            ;;
    esac
    $split && return

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W '${options[*]}' -- "$cur"))
        [[ ${COMPREPLY-} == *= ]] && compopt -o nospace
        return
    fi

    # NAMEs are files of the source directory, not of the current one.
    local dir
    dir=$(_quorvel_batch_source_dir)
    local IFS=$'\n' name
    COMPREPLY=()
    for name in $(cd -- "$dir" 2>/dev/null && compgen -f -- "$cur"); do
        [[ -f $dir/$name ]] && COMPREPLY+=("$name")
    done
    compopt -o filenames
} &&
    complete -F _quorvel_batch quorvel-batch

# ex: filetype=sh
