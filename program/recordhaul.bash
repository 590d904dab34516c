# bash completion for recordhaul. The verbs and each verb's options come from
# the program's own help, so they never fall behind it; module codes come from
# 'recordhaul list modules'.
_recordhaul() {
  local cur prev verb
  cur=${COMP_WORDS[COMP_CWORD]}
  prev=${COMP_WORDS[COMP_CWORD-1]}
  verb=${COMP_WORDS[1]}
  local program=${COMP_WORDS[0]}

  if [[ $COMP_CWORD -eq 1 ]]; then
    local verbs
    verbs=$("$program" --help 2>/dev/null | sed -n '/^Verbs:/,/^$/s/^  \([a-z][a-z]*\) .*/\1/p')
    COMPREPLY=($(compgen -W "$verbs help --help --version" -- "$cur"))
    return
  fi

  case $prev in
    --module)
      COMPREPLY=($(compgen -W "$("$program" list modules 2>/dev/null | cut -f1)" -- "$cur"))
      return ;;
    --type)
      COMPREPLY=($(compgen -W "0 1 2 3 4 5 6 7 8 9 10" -- "$cur"))
      return ;;
    --encoding)
      COMPREPLY=($(compgen -W "windows-1252 utf-8" -- "$cur"))
      return ;;
    --data|--system|--programs)
      COMPREPLY=($(compgen -d -- "$cur"))
      return ;;
    --dest|--company|--file|--field|--records)
      COMPREPLY=($(compgen -f -- "$cur"))
      return ;;
  esac

  case $verb in
    help)
      [[ $COMP_CWORD -eq 2 ]] && COMPREPLY=($(compgen -W \
        "$("$program" --help 2>/dev/null | sed -n '/^Verbs:/,/^$/s/^  \([a-z][a-z]*\) .*/\1/p')" \
        -- "$cur"))
      return ;;
    list)
      if [[ $COMP_CWORD -eq 2 ]]; then
        COMPREPLY=($(compgen -W "modules files companies fields types" -- "$cur"))
        return
      fi ;;
    template)
      if [[ $COMP_CWORD -eq 2 ]]; then
        COMPREPLY=($(compgen -W "create show" -- "$cur"))
        return
      fi ;;
  esac

  if [[ $cur == -* ]]; then
    local options
    options=$("$program" help "$verb" 2>/dev/null | grep -o -- '--[a-z][a-z-]*' | sort -u)
    COMPREPLY=($(compgen -W "$options" -- "$cur"))
  else
    COMPREPLY=($(compgen -f -- "$cur"))
  fi
}
complete -o filenames -F _recordhaul recordhaul
