#!/usr/bin/env bash
# Fails when a source file includes a header it may not use. Every library exports the same
# include root, so the compiler alone would accept a wrong-way include; this keeps the layering
# the README's Layout section states. Every include is resolved to the file it names (relative
# ones too, and names found beside the including file) and so to the library that holds it.
# Also refused: an include that names none of our files and no system header, a folder of
# sources this table does not know, and a file whose extension it does not know.
# Prints each fault and exits 1.
set -euo pipefail
cd "$(dirname "$0")/.."

# folder: the library its files belong to, then what they may include besides their library.
# A test folder of a library (tests/engine) may include that library, what it may include, and
# the test kit (support); other folders are listed here, as README's Layout repeats.
table='
src/core          core        -
src/engine        engine      core
src/controls      controls    -
src/dialogs       dialogs     core controls
src/app           app         core engine controls dialogs
tools/batch       batch       core engine
tools/supervisor  supervisor  -
tools/packets     packets     -
tests/support     support     core engine
tests/catalogue   catalogue   core engine support
tests/batch       batch-tests core engine batch support
tests/fuzz        fuzz        core
tests/install     install     -
tests/resources   resources   support
tests/data        data        -
bench             bench       core engine controls dialogs app
'
# Where a name without a folder is looked for besides the including file's folder.
roots='src tests'
declare -A extra_roots=([tests/batch]=tools/batch)
# Made by the build, not kept in the tree.
generated='ClipforgeResources\.h|[A-Za-z]+Test\.moc'
sources='h|cpp'
other_files='txt|sh|xml|log|dict|kxl'

export table roots generated sources other_files
export extra_roots_list="$(for f in "${!extra_roots[@]}"; do echo "$f ${extra_roots[$f]}"; done)"
find src tools tests bench -type f | sort | perl scripts/include-owners.pl
