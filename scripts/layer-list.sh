# Sourced by the scripts that need the layers of src/; they are listed once, in
# cmake/layers.txt. read_layers [LIST] reads that list (or LIST) into:
#   layers   the names, bottom first
#   rank     NAME -> its rank
#   links    NAME -> the layers it links directly
#   uses     NAME -> everything it lists, layers as dravolt-NAME and the other libraries
#   seenBy   NAME -> the layer and every layer that links it, directly or not, bottom first:
#            the layers whose tests can see a change in it
read_layers() {
    local list=${1:-cmake/layers.txt} name level libraries library other
    layers=()
    declare -gA rank=() links=() uses=() seenBy=()
    while read -r name level libraries; do
        case "$name" in '' | '#'*) continue ;; esac
        layers+=("$name")
        rank[$name]=$level
        links[$name]=""
        uses[$name]=$libraries
        for library in $libraries; do
            [[ $library != dravolt-* ]] || links[$name]+=" ${library#dravolt-}"
        done
    done < "$list"
    # What each layer reaches through its links. The list runs bottom first, so the layers a
    # layer links are complete before it; a link to a layer further down the list (an error
    # that scripts/layers.sh reports) reaches nothing.
    local -A reach=()
    for name in "${layers[@]}"; do
        reach[$name]=" $name "
        for other in ${links[$name]}; do
            reach[$name]+="${reach[$other]-} "
        done
    done
    for name in "${layers[@]}"; do
        seenBy[$name]=""
        for other in "${layers[@]}"; do
            [[ ${reach[$other]} != *" $name "* ]] || seenBy[$name]+="$other "
        done
        seenBy[$name]=${seenBy[$name]% }
    done
}
