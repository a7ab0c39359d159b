12345
-1
1
2
0
1
in.txt -v
sub/util.c
../lib/a.c
main.c
