#!/usr/bin/env bash
# The command-line speaker without a display: audio files that sox reads, the voice list, bad
# options, failed reads and writes that leave nothing behind, an interrupted write, and speech
# played on the sound server.
. "$E2E_LIB"

speaker() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$VELMOR_BIN" "$@"; }
cd "$E2E_WORK"

# Only the files a test named may be left in the folder: no temporary ones.
assert_only_files() {
  local left expected
  left=$(ls -A | sort | tr '\n' ' ')
  expected=$(printf '%s\n' "$@" | sort | tr '\n' ' ')
  [ "$left" = "$expected" ] || e2e_fail "the folder holds '$left', expected '$expected'"
}

expect_status() {
  local expected=$1 status=0
  shift
  speaker "$@" >out.log 2>err.log || status=$?
  [ "$status" -eq "$expected" ] || e2e_fail "velmor $* ended with $status, expected $expected: $(cat err.log)"
  if [ "$expected" -ne 0 ]; then
    [ -s err.log ] || e2e_fail "velmor $* failed without a message"
  fi
  rm -f out.log err.log
}

sentence="The quick brown fox jumps over the lazy dog while the five boxing wizards jump quickly."
words=$(wc -w <<<"$sentence")
printf '%s\r\n%s\r\n' "$sentence" "$sentence" | iconv -t UTF-16 >speech.txt
expect_status 0 --say-file speech.txt --out speech.wav
[ "$(soxi -t speech.wav)" = wav ] || e2e_fail "speech.wav is not a WAV file"
seconds=$(soxi -D speech.wav)
# 150 words a minute; espeak-ng runs somewhat faster and pauses between sentences.
awk -v s="$seconds" -v w=$((2 * words)) 'BEGIN { exit !(s > w * 60 / 300 && s < w * 60 / 100) }' ||
  e2e_fail "speech.wav lasts $seconds s for $((2 * words)) words"
rms=$(sox speech.wav -n stat 2>&1 | awk '/RMS +amplitude/ { print $3 }')
awk -v r="$rms" 'BEGIN { exit !(r > 0.02) }' || e2e_fail "speech.wav is silent (RMS $rms)"
# Faster speech is shorter.
expect_status 0 --say-file speech.txt --speed 300 --out fast.wav
awk -v slow="$seconds" -v fast="$(soxi -D fast.wav)" 'BEGIN { exit !(fast < slow * 0.7) }' ||
  e2e_fail "--speed 300 gave $(soxi -D fast.wav) s against $seconds s"

# A book is spoken as its text: the same two sentences take about as long as from the text file;
# a damaged document is refused with the reason.
printf -- '---\ntitle: Fox\n---\n\n%s\n\n%s\n' "$sentence" "$sentence" >book.md
pandoc book.md -s -o book.epub || e2e_fail "pandoc could not make the book"
expect_status 0 --say-file book.epub --out book.wav
awk -v b="$(soxi -D book.wav)" -v s="$seconds" 'BEGIN { exit !(b > s * 0.9 && b < s * 1.4) }' ||
  e2e_fail "the book took $(soxi -D book.wav) s, the text file $seconds s"
printf '%%PDF-1.4 torn' >torn.pdf
speaker --say-file torn.pdf --out torn.wav 2>err.log && e2e_fail "a damaged PDF was spoken"
grep -qF 'torn.pdf is damaged: its PDF structure cannot be read.' err.log || e2e_fail "the refusal said: $(cat err.log)"
[ ! -e torn.wav ] || e2e_fail "a refused document left torn.wav"
rm -f book.md book.epub book.wav torn.pdf err.log

# Shift-JIS kana in Naoko's voice, as FLAC and Ogg Vorbis; MP3 as well.
printf 'こんにちは。きょうは いい てんき です。\r\n' | iconv -t CP932 >japanese.txt
expect_status 0 --say-file japanese.txt --voice naoko --out japanese.flac
expect_status 0 --say "$sentence" --voice 1 --out speech.ogg
expect_status 0 --say "$sentence" --out speech.mp3
[ "$(soxi -t japanese.flac)" = flac ] && [ "$(soxi -t speech.ogg)" = vorbis ] ||
  e2e_fail "the FLAC or Ogg file is not what its name says"
awk -v s="$(soxi -D japanese.flac)" 'BEGIN { exit !(s > 1) }' || e2e_fail "the Japanese speech is too short"
# Kanji are read as the window reads them (MeCab readings), not letter by letter: as long as their kana.
expect_status 0 --say "今日は良い天気です。" --voice Naoko --out kanji.wav
expect_status 0 --say "きょうはよいてんきです。" --voice Naoko --out kana.wav
awk -v k="$(soxi -D kanji.wav)" -v n="$(soxi -D kana.wav)" 'BEGIN { exit !(k < n * 1.15 && k > n * 0.85) }' ||
  e2e_fail "kanji took $(soxi -D kanji.wav) s, their kana $(soxi -D kana.wav) s"
rm kanji.wav kana.wav
head -c 3 speech.mp3 | grep -q ID3 || [ "$(head -c 1 speech.mp3 | od -An -tx1 | tr -d ' ')" = ff ] ||
  e2e_fail "speech.mp3 is not an MP3 file"

speaker --list-voices >voices.txt
grep -Eq '^ +[0-9]+  Mary +Female English' voices.txt && grep -Eq '^ +[0-9]+  Naoko +Female Japanese' voices.txt ||
  e2e_fail "--list-voices printed: $(head -5 voices.txt)"
rm voices.txt

# What the voices are given, without a sound: kana for Naoko, the English word for Mary, each
# passage on its own line with its line break written out.
speaker --readings --voice Naoko --say $'今日は良い天気です。\nSee you.' >readings.txt
[ "$(wc -l <readings.txt)" -eq 2 ] && grep -q $'^Naoko\t[^今日良天気]*\\n$' readings.txt &&
  grep -qx $'Mary\tSee you.' readings.txt || e2e_fail "--readings printed: $(cat readings.txt)"
rm readings.txt
assert_only_files japanese.flac japanese.txt fast.wav speech.mp3 speech.ogg speech.txt speech.wav

for options in "--say" "--say hi --bogus" "--say hi --out x.txt" "--say hi --speed fast" "--say hi --speed 20" \
  "--say hi --voice Nobody" "--say hi --voice 0" "--say-file speech.txt --say hi" "--voice Mary" "--list-voices --say hi" \
  "--readings --say hi --out x.wav" "--readings --list-voices" "--say hi --chapters" "--say hi --subtitles" \
  "--say hi --title"; do
  # shellcheck disable=SC2086
  expect_status 2 $options
done
expect_status 1 --say-file missing.txt --out missing.wav
expect_status 1 --say hi --out no-folder/x.wav

# A book by chapters with subtitles: a file per chapter named by its heading, tagged with the
# chapter, the book and the track, each with its .srt and .lrc; no subtitle outlasts its sound.
mkdir book
printf 'Old Tales\n\nChapter 1\nThe river was wide. We crossed it.\n\nChapter 2: The road\nNobody spoke. Then we were over.\n' >book.txt
expect_status 0 --say-file book.txt --chapters --subtitles --title "Tales" --voice Mary --out book/book.ogg
(cd book && assert_only_files "01 - Old Tales."{ogg,srt,lrc} "02 - Chapter 1."{ogg,srt,lrc} \
  "03 - Chapter 2_ The road."{ogg,srt,lrc})
tags=$(soxi -a "book/03 - Chapter 2_ The road.ogg")
for tag in "Title=Chapter 2: The road" "Album=Tales" "Artist=Mary" "Tracknumber=3"; do
  grep -qix "$tag" <<<"$tags" || e2e_fail "the chapter's tags are: $tags"
done
[ "$(grep -c -- ' --> ' "book/03 - Chapter 2_ The road.srt")" -eq 3 ] ||
  e2e_fail "the chapter's subtitles are: $(cat "book/03 - Chapter 2_ The road.srt")"
last=$(grep -- ' --> ' "book/03 - Chapter 2_ The road.srt" | tail -1 | sed 's/.* --> //; s/,/./' |
  awk -F: '{ print $1 * 3600 + $2 * 60 + $3 }')
awk -v l="$last" -v s="$(soxi -D "book/03 - Chapter 2_ The road.ogg")" 'BEGIN { exit !(l <= s + 0.01) }' ||
  e2e_fail "the last subtitle ends at $last s, the sound at $(soxi -D "book/03 - Chapter 2_ The road.ogg") s"
grep -qx '\[00:00\.[0-9][0-9]\]Chapter 2: The road' "book/03 - Chapter 2_ The road.lrc" ||
  e2e_fail "the chapter's lyrics are: $(cat "book/03 - Chapter 2_ The road.lrc")"
# Without --chapters, one file with its subtitles beside it, titled by the first heading.
expect_status 0 --say-file book.txt --subtitles --out book.mp3
[ -s book.srt ] && [ -s book.lrc ] && [ "$(grep -c -- ' --> ' book.srt)" -eq 7 ] || e2e_fail "book.srt is: $(cat book.srt)"
rm -r book book.txt book.mp3 book.srt book.lrc
# An EPUB book's chapters are those of its contents, whatever their headings say.
printf -- '---\ntitle: Walks\n---\n\n# The Harbour\n\n%s\n\n# The Lamp\n\n%s\n' "$sentence" "$sentence" >walks.md
pandoc walks.md -s -o walks.epub || e2e_fail "pandoc could not make the book"
mkdir walks
expect_status 0 --say-file walks.epub --chapters --out walks/walks.wav
(cd walks && assert_only_files "01 - Walks.wav" "02 - The Harbour.wav" "03 - The Lamp.wav")
rm -r walks walks.md walks.epub

# A write that fails half-way (the file size limit) keeps the old file, leaves no other and
# says why, whatever the encoder.
for i in $(seq 2000); do echo "$sentence"; done >long.txt
for type in wav flac ogg mp3; do
  echo "old bytes" >kept.$type
  status=0
  (ulimit -f 64; trap '' XFSZ; speaker --say-file long.txt --out kept.$type 2>err.log) || status=$?
  [ "$status" -eq 1 ] || e2e_fail "a $type write past the size limit ended with $status: $(cat err.log)"
  [ "$(cat kept.$type)" = "old bytes" ] || e2e_fail "the failed write changed kept.$type"
  grep -q "larger than this system allows; the file that was there is kept as it was" err.log ||
    e2e_fail "the failed $type write said: $(cat err.log)"
  [ "$type" = wav ] || rm kept.$type
done
rm err.log

# A full disk, on a small file system of its own where user namespaces allow one: an MP3 over
# an old file and a new one both fail, say so, and leave the folder as it was.
if unshare -Urm true 2>/dev/null; then
  mkdir small
  status=0
  unshare -Urm env SPEAKER="$VELMOR_BIN" bash -c '
    mount -t tmpfs -o size=512k velmor-small small || exit 3
    echo "old bytes" >small/old.mp3
    for name in old new; do
      s=0
      env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$SPEAKER" --say-file long.txt --out small/$name.mp3 \
        2>>full.log || s=$?
      echo "$name $s" >>full.status
    done
    { ls -A small; cat small/old.mp3; } >full.left' || status=$?
  [ "$status" -eq 0 ] || e2e_fail "the small file system could not be set up ($status)"
  [ "$(cat full.status)" = "$(printf 'old 1\nnew 1')" ] || e2e_fail "writes to a full disk ended with: $(cat full.status)"
  [ "$(cat full.left)" = "$(printf 'old.mp3\nold bytes')" ] || e2e_fail "a full disk left: $(cat full.left)"
  [ "$(grep -c 'the disk is full' full.log)" -eq 2 ] || e2e_fail "writes to a full disk said: $(cat full.log)"
  grep -q "the file that was there is kept as it was" full.log || e2e_fail "the message leaves out the old file: $(cat full.log)"
  rm -r small full.log full.status full.left
else
  e2e_log "no user namespaces here: the full disk is stood in for by the file size limit alone"
fi

# A dangling link is refused, not replaced by a file; so is another user's link in a shared
# folder (when root can plant one).
ln -s "$E2E_WORK/nowhere.wav" dangling.wav
status=0
speaker --say hi --out dangling.wav 2>err.log || status=$?
[ "$status" -eq 1 ] && [ -L dangling.wav ] && [ ! -e "$E2E_WORK/nowhere.wav" ] ||
  e2e_fail "--out a dangling link ended with $status: $(cat err.log)"
grep -q "which does not exist" err.log || e2e_fail "--out a dangling link said: $(cat err.log)"
rm dangling.wav err.log
if [ "$(id -u)" -eq 0 ]; then
  mkdir -m 1777 shared
  echo "victim bytes" >victim.wav
  ln -s "$E2E_WORK/victim.wav" shared/planted.wav
  chown -h nobody shared/planted.wav
  status=0
  speaker --say hi --out shared/planted.wav 2>err.log || status=$?
  [ "$status" -eq 1 ] && [ "$(cat victim.wav)" = "victim bytes" ] && [ -L shared/planted.wav ] ||
    e2e_fail "--out another user's link in a shared folder ended with $status: $(cat err.log)"
  grep -q "another user's link in the shared folder" err.log || e2e_fail "the refused link said: $(cat err.log)"
  rm -r shared victim.wav err.log
fi

# Interrupted while writing: no file.
env -u DISPLAY -u WAYLAND_DISPLAY "$VELMOR_BIN" --say-file long.txt --out stopped.wav 2>err.log &
pid=$!
for i in $(seq 200); do
  compgen -G ".stopped.wav.*" >/dev/null && break
  sleep 0.01
done
kill -INT "$pid"
status=0
wait "$pid" || status=$?
[ "$status" -eq 1 ] || e2e_fail "an interrupted write ended with $status: $(cat err.log)"
rm err.log
assert_only_files japanese.flac japanese.txt fast.wav kept.wav long.txt speech.mp3 speech.ogg speech.txt speech.wav

# Pronunciation rules: a file of them with --rules (a malformed line is reported by its number and
# skipped), none with --no-rules; what they say is heard instead of what they find.
printf 'find\tsay\toptions\tlanguage\nfox\ta small animal of the dog family that lives in woods\tw\t*\nno tab\n' >rules.tsv
expect_status 0 --say "$sentence" --out plain.wav
expect_status 0 --say "$sentence" --no-rules --out unruled.wav
speaker --say "$sentence" --rules rules.tsv --out ruled.wav 2>err.log || e2e_fail "--rules failed: $(cat err.log)"
grep -q "rules.tsv:3:" err.log || e2e_fail "the malformed line was not reported: $(cat err.log)"
plain=$(soxi -D plain.wav)
[ "$(soxi -D unruled.wav)" = "$plain" ] || e2e_fail "--no-rules changed the speech"
awk -v p="$plain" -v r="$(soxi -D ruled.wav)" 'BEGIN { exit !(r > p + 1.5) }' ||
  e2e_fail "the rule's words were not heard: $(soxi -D ruled.wav) s against $plain s"
expect_status 2 --say hi --rules rules.tsv --no-rules
expect_status 1 --say hi --rules missing.tsv --out missing.wav
rm rules.tsv plain.wav unruled.wav ruled.wav
assert_only_files japanese.flac japanese.txt fast.wav kept.wav long.txt speech.mp3 speech.ogg speech.txt speech.wav

# Played on the sound server, to the end of the text.
rec_start
from=$(rec_pos_ms)
expect_status 0 --say "Hello from the command line."
to=$(rec_pos_ms)
rec_stop
[ -n "$(rec_bursts "$from" "$to")" ] || e2e_fail "--say played nothing"
echo "PASS: $E2E_NAME"
