program primes;
{ the primes below 30, and a few checks }
begin
  n := 2;
  while n < 30 do
  begin
    d := 2; p := 1;
    while (d * d <= n) and p do
    begin
      if n mod d = 0 then p := 0;
      d := d + 1
    end;
    if p then writeln(n, ' is prime');
    n := n + 1
  end;
  if 1 < 2 then if 2 < 1 then writeln('no') else writeln('dangling else binds inner');
  writeln('-7 div 2 = ', -7 div 2, ', 2*3+4 = ', 2*3+4, ', not 0 = ', not 0);
  x := 1 ; ; x := x +
end.
