# bash completion for ravelmoor                             -*- shell-script -*-

_ravelmoor_remote_sides() {
    # "(ftp) NAME" and "(sftp) NAME" for every stored connection that starts
    # like the word typed so far; with -o filenames bash quotes the space and
    # parentheses.
    local typed=${1//\\/} name kind
    typed=${typed#[\"\']}
    for kind in ftp sftp; do
        while IFS= read -r name; do
            [[ -n $name && "($kind) $name" == "$typed"* ]] && COMPREPLY+=("($kind) $name")
        done < <(ravelmoor $kind list 2>/dev/null)
    done
    compopt -o filenames 2>/dev/null
}

_ravelmoor() {
    local cur prev words cword
    _init_completion || return

    local shared='-r --recursive --subfolders --by --ignore-2s --ignore-60s --ignore-dst
        --chunk --include --exclude --include-glob --exclude-glob --settings
        --save-settings --all --format
        -q --quiet --accept-new-host-key -h --help --'
    local command=${words[1]}

    if ((cword == 1)); then
        COMPREPLY=($(compgen -W 'compare sync history undo ftp sftp --help --version' -- "$cur"))
        _filedir zvs
        return
    fi

    case $command in
    ftp)
        if ((cword == 2)); then
            COMPREPLY=($(compgen -W 'list add remove --help' -- "$cur"))
        elif [[ ${words[2]} == remove ]]; then
            local IFS=$'\n'
            COMPREPLY=($(compgen -W "$(ravelmoor ftp list 2>/dev/null)" -- "$cur"))
        elif [[ ${words[2]} == add ]]; then
            case $prev in
            --server | --user | --password | --dir) return ;;
            esac
            COMPREPLY=($(compgen -W '--server --user --password --password-stdin --dir
                --help' -- "$cur"))
        fi
        return
        ;;
    sftp)
        if ((cword == 2)); then
            COMPREPLY=($(compgen -W 'list add remove --help' -- "$cur"))
        elif [[ ${words[2]} == remove ]]; then
            local IFS=$'\n'
            COMPREPLY=($(compgen -W "$(ravelmoor sftp list 2>/dev/null)" -- "$cur"))
        elif [[ ${words[2]} == add ]]; then
            case $prev in
            --host | --server | --port | --user | --dir | --name) return ;;
            --key | --identity | --agent-path)
                _filedir
                return
                ;;
            esac
            COMPREPLY=($(compgen -W '--host --server --port --user --dir --name --key --identity
                --password-stdin --agent-path --replace --help' -- "$cur"))
        fi
        return
        ;;
    history)
        if [[ $prev == --format ]]; then
            COMPREPLY=($(compgen -W 'text json' -- "$cur"))
        else
            COMPREPLY=($(compgen -W '--format --help' -- "$cur"))
        fi
        return
        ;;
    undo)
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W '-n --dry-run -y --yes --force --no-journal --help' -- "$cur"))
        else
            COMPREPLY=($(compgen -W "$(ravelmoor history 2>/dev/null | cut -d' ' -f1)" -- "$cur"))
        fi
        return
        ;;
    compare | sync) ;;
    *)
        return
        ;;
    esac

    case $prev in
    --method)
        if [[ $command == sync ]]; then
            COMPREPLY=($(compgen -W 'align augment refresh update update-prune force two-way' -- "$cur"))
        else
            COMPREPLY=($(compgen -W 'size-time crc both' -- "$cur"))
        fi
        return
        ;;
    --by)
        COMPREPLY=($(compgen -W 'size-time crc both' -- "$cur"))
        return
        ;;
    --format)
        COMPREPLY=($(compgen -W 'text tsv json' -- "$cur"))
        return
        ;;
    --settings | --save-settings)
        _filedir zvs
        return
        ;;
    --log | --plan)
        _filedir
        return
        ;;
    --chunk | --include | --exclude | --include-glob | --exclude-glob | --keep-versions)
        return
        ;;
    esac

    if [[ $cur == -* ]]; then
        local options=$shared
        if [[ $command == sync ]]; then
            options+=' --method -n --dry-run --preview -y --yes -i --interactive --log -v --verbose --allow-mass-delete --delete-permanently --no-keep-replaced --keep-versions --mkpath --no-verify --no-journal --plan --prefer --conflicts --first-sync'
        else
            options+=' --method -v --verbose'
        fi
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi
    _filedir -d
    if [[ $cur == \(* || $cur == \\\(* || $cur == [\"\']\(* ]]; then
        _ravelmoor_remote_sides "$cur"
    fi
} &&
    complete -F _ravelmoor ravelmoor

# ex: filetype=sh
