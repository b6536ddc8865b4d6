#!/usr/bin/env bash
# Writes long labels and declarations for the label and declaration
# translators into the folder DIR:
#   bench/gen-labels.sh DIR [N]
# pure21-wide:   a trigger of N signals joined by "or" and "and"
# pure21-deep:   a trigger nested N parentheses deep
# valued21-wide: a condition of N terms and an effect of N emissions
# valued21-deep: a factor of N unary minus signs (each one level deeper)
# decl-wide:     a function with N argument types
set -eu
dir=$1 n=${2:-2000}
mkdir -p "$dir"
awk -v n="$n" 'BEGIN {
    t = "s1"; for (i = 2; i <= n; i++) t = t (i % 2 ? " or s" : " and s") i
    printf "3;%s;o1,o2.", t > "'"$dir"'/pure21-wide"
    t = ""; for (i = 1; i <= n; i++) t = t "("; t = t "a"; for (i = 1; i <= n; i++) t = t ")"
    printf ";%s;o.", t > "'"$dir"'/pure21-deep"
    t = "?v1"; for (i = 2; i <= n; i++) t = t " + ?v" i " * 2"
    e = "O1(1)"; for (i = 2; i <= n; i++) e = e ", O" i "(?v" i ")"
    printf "3;s;%s > 0;%s.", t, e > "'"$dir"'/valued21-wide"
    t = ""; for (i = 1; i <= n; i++) t = t "- "; t = t "a"
    printf "%s;s;;o.", t > "'"$dir"'/valued21-deep"
    t = "T1"; for (i = 2; i <= n; i++) t = t ", T" i
    printf "function f(%s) : integer;", t > "'"$dir"'/decl-wide"
}'
