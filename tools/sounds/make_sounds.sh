#!/usr/bin/env bash
# Makes every WAV file the sound manifest names, with sox and espeak-ng, into a scratch folder, checks the
# lengths gameplay relies on, then packs the banks and the event-id list into data/fmod/bank_file_drop/.
# Usage: tools/sounds/make_sounds.sh [path to bankpack]   (default: build/tools/bankpack)
# sox and espeak-ng are only needed here, never by the build: scripts/setup.sh --data-tools installs them.
#
# Levels leave the mixer headroom: every effect and voice peaks at -6 dBFS, and each music track plays at
# -20 dBFS RMS (the level tracks at full intensity), so music, a bounce, a goal jingle and a voice line
# together stay below full scale. Every clip fades in over 5 ms and out over 10 ms, so none starts or ends
# on a click.
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
bankpack=${1:-$root/build/tools/bankpack}
out=$root/data/fmod/bank_file_drop

for tool in sox soxi espeak-ng; do
  command -v "$tool" >/dev/null || { echo "make_sounds: $tool is missing (apt-get install sox espeak-ng)" >&2; exit 1; }
done
[ -x "$bankpack" ] || { echo "make_sounds: build bankpack first (cmake --build build --target bankpack)" >&2; exit 1; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/sfx" "$scratch/vo" "$scratch/music" "$scratch/notes"

sfx_rate=22050
vo_rate=16000
music_rate=16000

# ---- effects: sox -R -n <format> file synth ... (R keeps the output repeatable) ----
effect() { # effect <name> <channels of synth> <sox effects...>
  local name=$1 channels=$2; shift 2
  sox -R -r 48000 -c "$channels" -n -r "$sfx_rate" -c 1 -b 16 "$scratch/sfx/$name.wav" "$@"
}
effect PlayerJump 1 synth 0.18 sine 250:750 fade q 0.005 0.18 0.06 vol 0.5
effect PlayerLand 1 synth 0.14 brownnoise vol 0.4 lowpass 500 fade q 0.003 0.14 0.1 vol 0.9
effect GetBall 2 synth 0.3 pluck E5 pluck B5 fade q 0.003 0.3 0.1 vol 0.8
effect BallToss 1 synth 0.25 sine 700:220 fade q 0.005 0.25 0.1 vol 0.5
effect BallSteal 1 synth 0.45 square 900:450 tremolo 24 60 fade q 0.005 0.45 0.15 vol 0.25
effect BallBounce 1 synth 0.15 sine 190:80 fade q 0.002 0.15 0.1 vol 0.8
effect BalloonBallBounce 1 synth 0.25 sine 260:520 tremolo 30 40 fade q 0.005 0.25 0.12 vol 0.6
effect LightBallBounce 1 synth 0.18 triangle 900:1300 fade q 0.002 0.18 0.1 vol 0.5
effect LavaBurn 1 synth 1.0 brownnoise vol 0.4 tremolo 9 70 lowpass 900 fade q 0.05 1.0 0.3 norm -3
effect PlayerDie 1 synth 0.8 sawtooth 600:70 vol 0.35 lowpass 2500 fade q 0.005 0.8 0.3
effect PlayerRespawn 2 synth 0.6 sine 200:1000 sine 300:1500 fade q 0.02 0.6 0.2 vol 0.5
effect RoundEnd 2 synth 0.9 square 110 square 116 vol 0.3 lowpass 1800 fade q 0.01 0.9 0.1
effect GoalScore1 3 synth 1.2 pluck C5 pluck E5 pluck G5 fade q 0.003 1.2 0.4 vol 0.9
effect MenuDown 1 synth 0.08 sine 520 fade q 0.003 0.08 0.04 vol 0.4
effect MenuUp 1 synth 0.08 sine 700 fade q 0.003 0.08 0.04 vol 0.4
effect MenuSelect 2 synth 0.22 pluck A5 pluck E6 fade q 0.003 0.22 0.1 vol 0.7
effect GamePause 1 synth 0.25 sine 620:310 fade q 0.005 0.25 0.1 vol 0.4
effect GameResume 1 synth 0.25 sine 310:620 fade q 0.005 0.25 0.1 vol 0.4
effect TorvaneSplash 3 synth 4.0 sine C3 sine G3 sine E4 tremolo 0.5 30 fade q 0.8 4.0 1.5 vol 0.5
effect GameTeamSplash 3 synth 4.5 pluck C4 pluck G4 pluck C5 fade q 0.003 4.5 1.5 vol 0.9

# ---- voices: espeak-ng, trimmed at both ends with sox's silence ... reverse idiom ----
voice() { # voice <file stem> <text>
  espeak-ng -v en-us -s 165 -w "$scratch/raw.wav" "$2"
  sox -R "$scratch/raw.wav" -r "$vo_rate" -c 1 -b 16 "$scratch/vo/$1.wav" \
    silence 1 0.02 1% reverse silence 1 0.02 1% reverse
}
voice ReadyVO "Ready?"
voice GoVO "Go!"
voice ThirtySec "Thirty seconds!"
voice TenSec "Ten seconds!"
voice CountdownFive "Five"
voice CountdownFour "Four"
voice CountdownThree "Three"
voice CountdownTwo "Two"
voice CountdownOne "One"
voice RoundOne "Round one"
voice RoundTwo "Round two"
voice RoundThree "Round three"
voice RoundFour "Round four"
voice RoundFive "Round five"
voice FirstGoalOrange "Orange scores first!"
voice FirstGoalBlue "Blue scores first!"
voice GoalQuotes1 "What a goal!"
voice GoalQuotes2 "Nice shot!"
voice GoalQuotes3 "Unstoppable!"
voice GoalQuotes4 "Right in the net!"
voice BlueGainLead "Blue takes the lead!"
voice OrangeGainLead "Orange takes the lead!"
voice BlueHoldLead "Blue holds the lead!"
voice OrangeHoldLead "Orange holds the lead!"
voice TiedPoints "Tied up!"
voice Blowout "It's a blowout!"
voice OrangeWin "Orange wins!"
voice BlueWin "Blue wins!"
voice Tiebreaker "Tiebreaker!"
voice Title "Glimmock!"
# "Go!" is spoken quickly; a little room after it keeps it on screen long enough.
stretch() { # stretch <file stem> <sox effects...>: reworks a voice clip in place
  local stem=$1; shift
  sox -R "$scratch/vo/$stem.wav" "$scratch/vo/$stem.tmp.wav" "$@"
  mv "$scratch/vo/$stem.tmp.wav" "$scratch/vo/$stem.wav"
}
stretch GoVO pad 0 0.15
# The title is announced, slowly, with a little room to ring out.
stretch Title tempo 0.5 pad 0 0.25

# ---- music: 8 s loops at 120 beats a minute, built from notes that start and end at silence ----
# A loop's ends are silent, so it repeats without a click.
note_count=0
note() { # note <seconds> <synth arguments...>: one faded note, appended to the current sequence
  local seconds=$1; shift
  note_count=$((note_count + 1))
  local file
  file=$scratch/notes/$(printf '%04d' "$note_count").wav
  sox -R -r 48000 -c 1 -n -r "$music_rate" -b 16 "$file" synth "$seconds" "$@" fade q 0.01 "$seconds" 0.05
  sequence+=("$file")
}
rest() { # rest <seconds>
  note_count=$((note_count + 1))
  local file
  file=$scratch/notes/$(printf '%04d' "$note_count").wav
  sox -R -r "$music_rate" -c 1 -n -b 16 "$file" trim 0 "$1"
  sequence+=("$file")
}
finish() { # finish <name> <volume>: joins the sequence into one loop
  sox -R "${sequence[@]}" "$scratch/music/$1.wav" vol "$2"
  sequence=()
}
sequence=()

bass_line() { # bass_line <waveform> <four bass notes, one a bar>
  local wave=$1; shift
  for n in "$@"; do for _ in 1 2 3 4; do note 0.5 "$wave" "$n"; done; done
}
lead_line() { # lead_line <sixteen notes, "-" rests>
  for n in "$@"; do
    if [ "$n" = - ]; then rest 0.5; else note 0.5 pluck "$n"; fi
  done
}

bass_line triangle C2 A1 F1 G1; finish Level1Bass 0.4
lead_line E4 G4 C5 G4 E4 A4 C5 A4 F4 A4 C5 A4 G4 B4 D5 B4; finish Level1Lead 0.45
bass_line triangle D2 D2 A#1 C2; finish Level2Bass 0.4
lead_line D5 - A4 D5 F5 - D5 A4 A#4 D5 F5 D5 C5 E5 G5 E5; finish Level2Lead 0.45
bass_line sawtooth E2 C2 D2 B1; finish Level3Bass 0.2
lead_line E5 B4 G4 B4 C5 G4 E4 G4 D5 A4 F#4 A4 B4 F#4 D#4 F#4; finish Level3Lead 0.45

# The drum stem is shared by the three level tracks: a kick on each beat, a hat between.
for _ in $(seq 16); do
  note 0.25 sine 150:45
  note 0.25 whitenoise highpass 6000 fade q 0.002 0.25 0.2
done
finish LevelDrums 0.4

lead_line C5 E5 G5 E5 A4 C5 E5 C5 F4 A4 C5 A4 G4 B4 D5 G5; finish MenuMusic 0.9
lead_line C4 E4 G4 C5 - G4 E4 - A3 C4 E4 A4 - G4 - -; finish EndMusic 0.9
bass_line sine F2 D2 A#1 C2; finish CreditsBass 0.6
lead_line A4 C5 F5 C5 F4 A4 D5 A4 D4 F4 A#4 F4 E4 G4 C5 G4; finish CreditsLead 0.8
sox -R -m "$scratch/music/CreditsBass.wav" "$scratch/music/CreditsLead.wav" "$scratch/music/CreditsMusic.wav"

# ---- levels and edges ----
peak_db=-6
music_rms_db=-20
edges() { # edges <file> <sox effects...>: the click-free fades, then the given levelling, in place
  local file=$1; shift
  sox -R "$file" "$file.tmp.wav" fade 0.005 -0 0.01 "$@"
  mv "$file.tmp.wav" "$file"
}
rms_db() { # rms_db <file>: the file's RMS level in dBFS
  sox "$1" -n stats 2>&1 | awk '/^RMS lev dB/ { print $4 }'
}
level_rms() { # level_rms <file> <dBFS>: edges, then the gain that brings its RMS to the target
  edges "$1"
  sox -R "$1" "$1.tmp.wav" gain "$(awk -v now="$(rms_db "$1")" -v want="$2" 'BEGIN { printf "%.3f", want - now }')"
  mv "$1.tmp.wav" "$1"
}
for f in "$scratch"/sfx/*.wav "$scratch"/vo/*.wav; do edges "$f" norm "$peak_db"; done
# A level track's three stems are levelled alike (about 4.8 dB under the track), so the three tracks
# match at every intensity; LevelDrums is shared.
for f in Level1Bass Level1Lead Level2Bass Level2Lead Level3Bass Level3Lead LevelDrums; do
  level_rms "$scratch/music/$f.wav" "$(awk -v m="$music_rms_db" 'BEGIN { print m - 4.77 }')"
done
for f in MenuMusic EndMusic CreditsMusic; do level_rms "$scratch/music/$f.wav" "$music_rms_db"; done

# ---- the lengths gameplay and the screens rely on ----
check_length() { # check_length <file> <minimum> <maximum>
  local seconds
  seconds=$(soxi -D "$1")
  awk -v s="$seconds" -v lo="$2" -v hi="$3" 'BEGIN { exit !(s >= lo && s <= hi) }' ||
    { echo "make_sounds: $1 lasts $seconds s, outside $2..$3" >&2; exit 1; }
}
check_length "$scratch/sfx/BallSteal.wav" 0.3 0.6
for f in BallBounce BalloonBallBounce LightBallBounce; do check_length "$scratch/sfx/$f.wav" 0.01 0.3; done
check_length "$scratch/sfx/LavaBurn.wav" 0.5 1.5
check_length "$scratch/sfx/TorvaneSplash.wav" 0.1 5.5
check_length "$scratch/sfx/GameTeamSplash.wav" 0.1 6.5
check_length "$scratch/vo/ReadyVO.wav" 0.1 0.9
check_length "$scratch/vo/GoVO.wav" 0.4 1.0
for f in ThirtySec TenSec; do check_length "$scratch/vo/$f.wav" 0.1 1.5; done
for f in Five Four Three Two One; do check_length "$scratch/vo/Countdown$f.wav" 0.1 0.9; done
check_length "$scratch/vo/Title.wav" 0.6 1.4
for f in "$scratch"/music/*.wav; do check_length "$f" 8 16; done

"$bankpack" "$root/tools/sounds/manifest.txt" "$scratch" "$out"

total=$(du -cb "$out"/*.bank | tail -1 | cut -f1)
[ "$total" -lt $((8 * 1024 * 1024)) ] || { echo "make_sounds: the banks take $total bytes, over 8 MB" >&2; exit 1; }
echo "make_sounds: wrote $(ls "$out" | wc -l) files, $total bytes of banks, into $out"
