# fish completion for ravelmoor

function __ravelmoor_ftp_sides
    command -q ravelmoor; or return
    ravelmoor ftp list 2>/dev/null | string replace -r '^' '(ftp) '
end

function __ravelmoor_sftp_sides
    command -q ravelmoor; or return
    ravelmoor sftp list 2>/dev/null | string replace -r '^' '(sftp) '
end

set -l commands compare sync history undo ftp sftp
complete -c ravelmoor -f
complete -c ravelmoor -n "not __fish_seen_subcommand_from $commands" -a compare -d 'Compare two folder trees'
complete -c ravelmoor -n "not __fish_seen_subcommand_from $commands" -a sync -d 'Bring two folder trees into agreement'
complete -c ravelmoor -n "not __fish_seen_subcommand_from $commands" -a history -d 'List the synchronisations that can be undone'
complete -c ravelmoor -n "not __fish_seen_subcommand_from $commands" -a undo -d 'Undo a synchronisation'
complete -c ravelmoor -n "not __fish_seen_subcommand_from $commands" -a ftp -d 'The stored FTP connections'
complete -c ravelmoor -n "not __fish_seen_subcommand_from $commands" -a sftp -d 'The stored SFTP connections'
complete -c ravelmoor -n "not __fish_seen_subcommand_from $commands" -k -a '(__fish_complete_suffix .zvs)'
complete -c ravelmoor -n "not __fish_seen_subcommand_from $commands" -l version -d 'Print the version'
complete -c ravelmoor -s h -l help -d 'Print the usage'

# compare and sync
set -l both "__fish_seen_subcommand_from compare sync"
complete -c ravelmoor -n $both -a '(__fish_complete_directories)'
complete -c ravelmoor -n $both -a '(__ravelmoor_ftp_sides)' -d 'Stored FTP connection'
complete -c ravelmoor -n $both -a '(__ravelmoor_sftp_sides)' -d 'Stored SFTP connection'
complete -c ravelmoor -n $both -s r -l recursive -d 'Compare sub-folders too'
complete -c ravelmoor -n $both -l subfolders -d 'Compare sub-folders too'
complete -c ravelmoor -n $both -l by -x -a 'size-time crc both' -d 'How files are compared'
complete -c ravelmoor -n $both -l ignore-2s -d 'Ignore time differences up to 2 seconds'
complete -c ravelmoor -n $both -l ignore-60s -d 'Ignore time differences up to 60 seconds'
complete -c ravelmoor -n $both -l ignore-dst -d 'Ignore a difference of exactly one hour'
complete -c ravelmoor -n $both -l chunk -x -d 'Checksum only about the first N bytes'
complete -c ravelmoor -n $both -l include -x -d 'Take part only if some include expression matches'
complete -c ravelmoor -n $both -l exclude -x -d 'Leave out what the expression matches, a folder with its content'
complete -c ravelmoor -n $both -l include-glob -x -d 'Take part only if some include glob matches'
complete -c ravelmoor -n $both -l exclude-glob -x -d 'Leave out what the glob matches, a folder with its content'
complete -c ravelmoor -n $both -l settings -r -k -a '(__fish_complete_suffix .zvs)' -d 'Start from a settings file'
complete -c ravelmoor -n $both -l save-settings -r -k -a '(__fish_complete_suffix .zvs)' -d 'Write these settings to a settings file'
complete -c ravelmoor -n $both -l all -d 'Also print the rows that match'
complete -c ravelmoor -n $both -l format -x -a 'text tsv json' -d 'Output format'
complete -c ravelmoor -n $both -s q -l quiet -d 'Print errors only'
complete -c ravelmoor -n $both -l accept-new-host-key -d 'Take an SFTP server whose host key is not known yet'
complete -c ravelmoor -n "__fish_seen_subcommand_from compare" -l method -x -a 'size-time crc both' -d 'How files are compared'
complete -c ravelmoor -n "__fish_seen_subcommand_from compare" -s v -l verbose -d 'Say how files are read and how many exact times an FTP server was asked'
complete -c ravelmoor -n "__fish_seen_subcommand_from sync" -l method -x -a 'align augment refresh update update-prune force two-way' -d 'The sync method'
complete -c ravelmoor -n "__fish_seen_subcommand_from sync" -s n -l dry-run -d 'Print what would be done, change nothing'
complete -c ravelmoor -n "__fish_seen_subcommand_from sync" -l preview -d 'Print what would be done, change nothing'
complete -c ravelmoor -n "__fish_seen_subcommand_from sync" -s y -l yes -d 'Answer Yes to every question'
complete -c ravelmoor -n "__fish_seen_subcommand_from sync" -s i -l interactive -d 'Also ask about each replacement and failure'
complete -c ravelmoor -n "__fish_seen_subcommand_from sync" -l log -r -F -d 'Append a record of every action to a file'
complete -c ravelmoor -n "__fish_seen_subcommand_from sync" -l allow-mass-delete -d 'With --yes, go on when most of a side would be deleted'
complete -c ravelmoor -n "__fish_seen_subcommand_from sync" -l delete-permanently -d 'With --yes, delete for good what no trash takes'
complete -c ravelmoor -n "__fish_seen_subcommand_from sync" -l no-keep-replaced -d 'Do not move replaced files to the trash'
complete -c ravelmoor -n "__fish_seen_subcommand_from sync" -l keep-versions -x -d 'Days a server keeps replaced and deleted files'
complete -c ravelmoor -n "__fish_seen_subcommand_from sync" -l no-verify -d 'Put copies in place without reading them back'
complete -c ravelmoor -n "__fish_seen_subcommand_from sync" -l no-journal -d 'Go on when the journal can not be written'
complete -c ravelmoor -n "__fish_seen_subcommand_from sync" -l mkpath -d 'Make a missing Target folder and the folders above it'
complete -c ravelmoor -n "__fish_seen_subcommand_from sync" -l plan -r -F -d 'Run the actions of a plan file written by --dry-run --format json'
complete -c ravelmoor -n "__fish_seen_subcommand_from sync" -l prefer -x -a 'source target newer older larger smaller' -d 'Two-way: settle conflicts by keeping this version'
complete -c ravelmoor -n "__fish_seen_subcommand_from sync" -l conflicts -x -a 'keep-both' -d 'Two-way: keep a settled conflict\'s other version beside it'
complete -c ravelmoor -n "__fish_seen_subcommand_from sync" -l first-sync -d 'Two-way: take the folders as a new pair'
complete -c ravelmoor -n "__fish_seen_subcommand_from sync" -s v -l verbose -d 'Print each action as it is carried out'

# history and undo
complete -c ravelmoor -n "__fish_seen_subcommand_from history" -l format -x -a 'text json' -d 'Output format'
complete -c ravelmoor -n "__fish_seen_subcommand_from undo" -a '(ravelmoor history 2>/dev/null | string replace -r " .*" "")' -d 'Synchronisation'
complete -c ravelmoor -n "__fish_seen_subcommand_from undo" -s n -l dry-run -d 'Print the steps, change nothing'
complete -c ravelmoor -n "__fish_seen_subcommand_from undo" -s y -l yes -d 'Undo without asking'
complete -c ravelmoor -n "__fish_seen_subcommand_from undo" -l force -d 'Also undo objects changed since the sync'
complete -c ravelmoor -n "__fish_seen_subcommand_from undo" -l no-journal -d 'Go on when the journal can not be written'

# ftp
set -l ftp_verbs list add remove
complete -c ravelmoor -n "__fish_seen_subcommand_from ftp; and not __fish_seen_subcommand_from $ftp_verbs" -a list -d 'Print the stored connections'
complete -c ravelmoor -n "__fish_seen_subcommand_from ftp; and not __fish_seen_subcommand_from $ftp_verbs" -a add -d 'Store a connection'
complete -c ravelmoor -n "__fish_seen_subcommand_from ftp; and not __fish_seen_subcommand_from $ftp_verbs" -a remove -d 'Forget a connection'
complete -c ravelmoor -n "__fish_seen_subcommand_from ftp; and __fish_seen_subcommand_from remove" -a '(ravelmoor ftp list 2>/dev/null)' -d 'Stored FTP connection'
complete -c ravelmoor -n "__fish_seen_subcommand_from ftp; and __fish_seen_subcommand_from add" -l server -x -a '(__fish_print_hostnames)' -d 'The server host name'
complete -c ravelmoor -n "__fish_seen_subcommand_from ftp; and __fish_seen_subcommand_from add" -l user -x -d 'The user name'
complete -c ravelmoor -n "__fish_seen_subcommand_from ftp; and __fish_seen_subcommand_from add" -l password -x -d 'The password'
complete -c ravelmoor -n "__fish_seen_subcommand_from ftp; and __fish_seen_subcommand_from add" -l password-stdin -d 'Read the password from standard input'
complete -c ravelmoor -n "__fish_seen_subcommand_from ftp; and __fish_seen_subcommand_from add" -l dir -x -d 'The directory on the server'

# sftp
set -l sftp_verbs list add remove
set -l sftp_add "__fish_seen_subcommand_from sftp; and __fish_seen_subcommand_from add"
complete -c ravelmoor -n "__fish_seen_subcommand_from sftp; and not __fish_seen_subcommand_from $sftp_verbs" -a list -d 'Print the stored connections'
complete -c ravelmoor -n "__fish_seen_subcommand_from sftp; and not __fish_seen_subcommand_from $sftp_verbs" -a add -d 'Store a connection'
complete -c ravelmoor -n "__fish_seen_subcommand_from sftp; and not __fish_seen_subcommand_from $sftp_verbs" -a remove -d 'Forget a connection'
complete -c ravelmoor -n "__fish_seen_subcommand_from sftp; and __fish_seen_subcommand_from remove" -a '(ravelmoor sftp list 2>/dev/null)' -d 'Stored SFTP connection'
complete -c ravelmoor -n $sftp_add -l host -x -a '(__fish_print_hostnames)' -d 'The server host name'
complete -c ravelmoor -n $sftp_add -l server -x -a '(__fish_print_hostnames)' -d 'The host and port as HOST:PORT'
complete -c ravelmoor -n $sftp_add -l port -x -d 'The SSH port'
complete -c ravelmoor -n $sftp_add -l user -x -d 'The user name'
complete -c ravelmoor -n $sftp_add -l dir -x -d 'The folder on the server'
complete -c ravelmoor -n $sftp_add -l name -x -d 'The connection name'
complete -c ravelmoor -n $sftp_add -l key -r -F -d 'Log on with this private key file'
complete -c ravelmoor -n $sftp_add -l identity -r -F -d 'Log on with this private key file'
complete -c ravelmoor -n $sftp_add -l password-stdin -d 'Read the password or passphrase from standard input'
complete -c ravelmoor -n $sftp_add -l agent-path -r -F -d 'Where ravelmoor is on the server'
complete -c ravelmoor -n $sftp_add -l replace -d 'Replace a connection of that name'
