# fish completion for quorvel-batch.

# The value the command line gives so far for -SHORT/--LONG, or DEFAULT.
function __quorvel_batch_option_value -a short long default
    set -l value $default
    set -l tokens (commandline -opc)
    for i in (seq (count $tokens))
        switch $tokens[$i]
            case $short $long
                set value $tokens[(math $i + 1)]
            case "$long=*"
                set value (string replace -- "$long=" '' $tokens[$i])
            case "$short?*"
                set value (string sub -s 3 -- $tokens[$i])
        end
    end
    string replace -r '^~' $HOME -- $value
end

# NAMEs: the files of the -s folder that the pattern takes, letter case ignored as on Windows.
function __quorvel_batch_names -a default_pattern
    set -l dir (__quorvel_batch_option_value -s --source-dir .)
    set -l globs (string split ';' -- (__quorvel_batch_option_value -p --pattern $default_pattern))
    for file in $dir/*
        test -f $file; or continue
        set -l name (path basename -- $file)
        for glob in $globs
            if string match -qi -- $glob $name
                echo $name
                break
            end
        end
    end
end

complete -c quorvel-batch -f
# Made by quorvel-batch-docs from the option table in src/cli/Options.cpp
complete -c quorvel-batch -a "(__quorvel_batch_names '*.avi;*.mpg;*.mpeg;*.mov;*.vob')"
complete -c quorvel-batch -s o -l batch-file -r -F -d 'the list to write; - writes it to standard output'
complete -c quorvel-batch -s s -l source-dir -x -a '(__fish_complete_directories)' -d 'directory of the sources'
complete -c quorvel-batch -s p -l pattern -x -d 'files of the source directory that match'
complete -c quorvel-batch -s t -l template -r -F -d 'encoder template (.mcf)'
complete -c quorvel-batch -s d -l output-dir -x -a '(__fish_complete_directories)' -d 'where the encoder writes the .mpg files'
complete -c quorvel-batch -l files-from -r -F -d 'the sources\' paths, one a line'
complete -c quorvel-batch -s 0 -l null -d 'the --files-from paths end with a NUL character'
complete -c quorvel-batch -s r -l recursive -d 'the matching files of subfolders too'
complete -c quorvel-batch -l outputs-beside-sources -d 'each .mpg file beside its source'
complete -c quorvel-batch -l remaining -r -F -d 'write the jobs of LIST still to be encoded'
complete -c quorvel-batch -l aspect-ratio -x -d 'display aspect ratio' \
    -a "'1:1 (VGA)' '4:3 525 line (NTSC)' '4:3 625 line (NTSC, 704x480)' '4:3 625 (PAL)' '16:9 525 line (NTSC)' '16:9 625 line (PAL)' '4:3 Display' '16:9 Display' '2.11:1 Display'"
complete -c quorvel-batch -l source-type -x -d 'interlaced or progressive sources' \
    -a "'Non-interlace (progressive)' Interlace"
complete -c quorvel-batch -l clip-top -x -d 'lines clipped at the top'
complete -c quorvel-batch -l clip-bottom -x -d 'lines clipped at the bottom'
complete -c quorvel-batch -l deinterlace -d 'de-interlace the sources'
complete -c quorvel-batch -l noise-reduction -d 'apply the encoder\'s noise reduction'
complete -c quorvel-batch -l launch -r -F -d 'start the encoder on the finished list'
complete -c quorvel-batch -l code-page -x -d 'the code page the encoder reads the list in' \
    -a "874 932 936 949 950 1250 1251 1252 1253 1254 1255 1256 1257 1258 utf-8"
complete -c quorvel-batch -s n -l dry-run -d 'write nothing; print each job'
complete -c quorvel-batch -s h -l help -d 'show the options'
complete -c quorvel-batch -l version -d 'show the version'
# End of what quorvel-batch-docs makes.
