int x;
x = 3;
