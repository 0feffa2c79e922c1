#!/usr/bin/env bash
# Writes the bash completion of the kestrune command line from the program's own --help, so
# the subcommands, the options and the values of the options are always the ones the program
# that is packaged knows.
# Usage: make-completion.sh KESTRUNE OUTPUT
#   Subcommands: the words after "kestrune" on the usage lines. A usage line with "[options]"
#   takes every option of the option list; the options written on a usage line belong to its
#   subcommand. Option lines begin with blanks and "--": the option column ends at the first
#   run of two blanks; a word after an option that is a|b|c (or one lower-case word) lists its
#   values, [a|b] values the option may also go without, DIR a folder, any other word (N,
#   H:M:S-H:M:S, 0,2) is a free argument.
set -euo pipefail
program=$1
output=$2
help=$("$program" --help)
version=$("$program" --version)

tables=$(awk '
  function add(list, word) { return index(" " list " ", " " word " ") ? list : (list == "" ? word : list " " word) }
  /^(usage:)? *kestrune [a-z]/ {
    line = $0; sub(/^(usage:)? *kestrune /, "", line)
    n = split(line, w, /[ \[\]|]+/)
    command = w[1]; if (command == "") next
    commands = add(commands, command)
    if (line ~ /\[options\]/) general[command] = 1
    for (i = 2; i <= n; i++) if (w[i] ~ /^--[a-z0-9]/) own[command] = add(own[command], w[i])
    next
  }
  /^(usage:)? *kestrune --/ {
    n = split($0, w, /[ |]+/)
    for (i = 1; i <= n; i++) if (w[i] ~ /^--[a-z0-9]/) top = add(top, w[i])
    next
  }
  /^ +--[a-z0-9]/ {
    column = $0; sub(/^ +/, "", column); sub(/  .*/, "", column)
    n = split(column, w, / +/)
    last = ""
    for (i = 1; i <= n; i++) {
      sub(/,$/, "", w[i])
      if (w[i] == "" || w[i] == "/") continue
      if (w[i] ~ /^--[a-z0-9][a-z0-9-]*$/) { options = add(options, w[i]); last = w[i]; continue }
      if (last == "") continue
      if (w[i] ~ /^\[[a-z0-9][a-z0-9-]*(\|[a-z0-9][a-z0-9-]*)*\]$/) {
        gsub(/[][]/, "", w[i]); gsub(/\|/, " ", w[i]); values[last] = add(values[last], w[i]); optional[last] = 1
      } else if (w[i] ~ /^[a-z0-9][a-z0-9-]*(\|[a-z0-9][a-z0-9-]*)*$/) { gsub(/\|/, " ", w[i]); values[last] = add(values[last], w[i]) }
      else if (w[i] == "DIR") folders = add(folders, last)
      else free = add(free, last)
      last = ""
    }
  }
  END {
    printf "commands=\"%s\"\n", commands
    printf "top=\"%s\"\n", top
    for (c in general) printf "general_%s=1\n", c
    for (c in own) printf "own_%s=\"%s\"\n", c, own[c]
    printf "options=\"%s\"\n", options
    for (o in values) { name = o; gsub(/-/, "_", name); printf "values%s=\"%s\"\n", name, values[o] }
    for (o in optional) { name = o; gsub(/-/, "_", name); printf "optional%s=1\n", name }
    printf "free=\"%s\"\n", free
    printf "folders=\"%s\"\n", folders
  }' <<<"$help")

commands= top= options= free= folders=
eval "$tables"
if [ -z "$commands" ] || [ -z "$options" ]; then
  echo "make-completion: no subcommands or options found in the help of $program" >&2
  exit 1
fi

# The options each subcommand completes.
subcommand_cases=
for command in $commands; do
  own_var=own_${command//-/_}
  general_var=general_${command//-/_}
  list=${!own_var:-}
  if [ -n "${!general_var:-}" ]; then
    for option in $options; do
      case " $list " in *" $option "*) ;; *) list="$list $option" ;; esac
    done
  fi
  subcommand_cases+="        $command) options=\"${list# }\" ;;"$'\n'
done

# The values, or none, that follow an option.
value_cases=
for var in $(compgen -v values_); do
  option=${var#values}
  option=${option//_/-}
  optional_var=optional${var#values}
  files=
  # A value the option may go without: a file name may follow as well.
  [ -n "${!optional_var:-}" ] && files=' $(compgen -f -- "$cur")'
  value_cases+="        $option) COMPREPLY=(\$(compgen -W \"${!var}\" -- \"\$cur\")$files); return 0 ;;"$'\n'
done
free_case=
[ -n "$free" ] && free_case="        ${free// /|}) return 0 ;;"$'\n'
folder_case=
[ -n "$folders" ] &&
  folder_case="        ${folders// /|}) compopt -o filenames 2>/dev/null; COMPREPLY=(\$(compgen -d -- \"\$cur\")); return 0 ;;"$'\n'

cat >"$output" <<EOF
# bash completion for kestrune (${version}), generated from its --help.
_kestrune()
{
    local cur=\${COMP_WORDS[COMP_CWORD]} prev=\${COMP_WORDS[COMP_CWORD-1]}
    local command= word i
    for ((i = 1; i < COMP_CWORD; i++)); do
        word=\${COMP_WORDS[i]}
        case \$word in -*) ;; *) command=\$word; break ;; esac
    done
    if [ -z "\$command" ]; then
        COMPREPLY=(\$(compgen -W "${commands} ${top}" -- "\$cur"))
        return 0
    fi
    if [[ \$cur != -* ]]; then
        case \$prev in
${value_cases}${free_case}${folder_case}        esac
    fi
    local options=
    case \$command in
${subcommand_cases}    esac
    if [[ \$cur == -* ]]; then
        COMPREPLY=(\$(compgen -W "\$options" -- "\$cur"))
        return 0
    fi
    compopt -o filenames 2>/dev/null
    COMPREPLY=(\$(compgen -f -- "\$cur"))
    return 0
}
complete -F _kestrune kestrune
EOF
