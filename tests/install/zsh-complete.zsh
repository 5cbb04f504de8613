# Types a command line into an interactive zsh on a pseudo-terminal, asks for
# the completion list and prints the sorted texts matching the extended
# regular expression PATTERN found in it, once STOP has been seen (or after
# ten seconds).
# Usage: zsh -f zsh-complete.zsh FPATH_DIR LINE PATTERN STOP
# compinit runs with -D alone: no dump file at all. (A "-d FILE" after -D
# turns the dump back on, and zsh then moves its dump onto FILE: given
# /dev/null, that once replaced the device with a plain file.) HOME and
# ZDOTDIR point into the caller's temporary folder.
zmodload zsh/zpty
zpty z zsh -f -i
zpty -w z 'PS1="> "; fpath=('$1' $fpath); autoload -Uz compinit; compinit -u -D; setopt NO_BEEP; LISTMAX=1000'
zpty -w z 'zle -C list-complete list-choices _main_complete; bindkey "^T" list-complete'
zpty -n -w z "$2"$'\024'
all=""
quiet=0
# Read until STOP was seen and then nothing more came for half a second.
for i in {1..100}; do
  if zpty -r -t z chunk; then
    all+=$chunk
    quiet=0
  else
    [[ $all == *$4* ]] && (( ++quiet >= 5 )) && break
    sleep 0.1
  fi
done
print -r -- "$all" | tr -d '\r' | grep -oE "$3" | sort -u | tr '\n' ' '
zpty -d z
