# Writes OUT, the SHA-256 of FILE in the format that `sha256sum -c` checks.
file(SHA256 ${FILE} hash)
get_filename_component(name ${FILE} NAME)
file(WRITE ${OUT} "${hash}  ${name}\n")
