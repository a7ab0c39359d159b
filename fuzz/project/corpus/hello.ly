-1
-1
0
0
1
0
hello.txt
