# The standard case's inputs, made once in $work by the benchmark scripts
# (sourced; needs $work, $cli and $backgrounds): $photo and $library.
# The photograph and the library: every photograph of the package in four
# orientations, cut into square crops, the first 2000 crops kept.
photo=$work/photo.jpg
library=$(realpath -m "$work/library")
if [ ! -f "$photo" ]; then
  convert "$backgrounds/nature/Storm.jpg" -resize '1600x1200^' -gravity center -extent 1600x1200 \
    -quality 92 "$photo"
fi
if [ "$(ls "$library" 2>/dev/null | wc -l)" -ne 2000 ]; then
  rm -rf "$library" "$work/photos"
  mkdir -p "$work/photos"
  for picture in "$backgrounds"/nature/*.jpg "$backgrounds"/abstract/*.png; do
    name=$(basename "${picture%.*}")
    for turn in 0 90 180 270; do
      convert "$picture" -background black -flatten -rotate "$turn" -resize '1200x1200>' \
        "$work/photos/$name-r$turn.jpg"
    done
  done
  "$cli" tiles "$work/photos" --crops --library "$library" >/dev/null
  ls "$library" | sort | tail -n +2001 | while read -r extra; do rm "$library/$extra"; done
fi
