#!/usr/bin/env bash
# The metainfo's screenshots are files of this repository, served under the
# web address the build was given: each must be a PNG here, so renaming or
# dropping one shows up before software centres show a broken image.
# Usage: check-screenshots.sh METAINFO SOURCE_DIR SOURCE_URL
set -euo pipefail
metainfo=$1 source=$2 url=$3
images=$(sed -n 's|.*<image>\(.*\)</image>.*|\1|p' "$metainfo")
[ -n "$images" ] || { echo "FAIL: the metainfo has no screenshot"; exit 1; }
status=0
for image in $images; do
  case $image in
    "$url"/*) file=$source/${image#"$url"/} ;;
    *) echo "FAIL: $image is not under $url"; status=1; continue ;;
  esac
  signature=$(head -c 8 "$file" 2>/dev/null | od -An -tx1 | tr -d ' \n' || true)
  if [ "$signature" != 89504e470d0a1a0a ]; then
    echo "FAIL: $image: ${file#"$source"/} is not a PNG in the repository"
    status=1
  fi
done
[ "$status" -eq 0 ] && echo "screenshots: $images"
exit $status
