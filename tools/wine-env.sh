# Sourced by the scripts: the Wine settings every run uses.
export WINEDEBUG=-all
# No Mono or Gecko install prompts; overrides set by a calling script are kept.
case ";${WINEDLLOVERRIDES:-};" in
    *mscoree,mshtml=*) ;;
    *) export WINEDLLOVERRIDES="mscoree,mshtml=${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}" ;;
esac
export WINEARCH=win64

# Runs a command with a display: the user's own, or a virtual one.
with_display() {
    if [ -n "${DISPLAY:-}" ]; then
        "$@"
    else
        xvfb-run -a -s "-screen 0 1024x768x24" "$@"
    fi
}
